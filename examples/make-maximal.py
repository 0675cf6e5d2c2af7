#!/usr/bin/env python3
"""Writes maximal.json: the largest configuration the gateway holds.

Ten devices, each with 200 TxPDO and 200 RxPDO rows of eight typed bytes (digital bytes and
words mixed) and 30 Read and 30 Write SDO rows, some of them words. The file is in the form
the utility and the simulator write (format 1, every key, one table row per line), so saving
it again gives the same bytes.

COB-IDs: 2000 TxPDOs need 2000 distinct identifiers outside the ranges CANopen restricts, so
they run through 0x181..0x580 and go on from 0x800 (the editors take three hex digits). Every
RxPDO takes the COB-ID of the TxPDO in the same row of the next device: a link, which the
checks before a save show as information, not as a fault.
Run from any directory: python3 examples/make-maximal.py
"""

import os

DEVICES = 10
PDO_ROWS = 200
SDO_ROWS = 30

# Eight area codes per row; a word is two equal codes and never starts at Byte7.
TX_PATTERNS = [
    [1, 1, 1, 1, 1, 1, 1, 1],
    [2, 2, 2, 2, 2, 2, 2, 2],
    [1, 2, 2, 1, 2, 2, 1, 1],
    [2, 2, 1, 1, 1, 2, 2, 1],
]
RX_PATTERNS = [
    [0, 0, 0, 0, 0, 0, 0, 0],
    [3, 3, 3, 3, 3, 3, 3, 3],
    [0, 3, 3, 0, 3, 3, 0, 0],
    [3, 3, 0, 0, 0, 3, 3, 0],
]

TX_COB_IDS = list(range(0x181, 0x581)) + list(range(0x800, 0x1000))


def tx_cob_id(position, row):
    return TX_COB_IDS[position * PDO_ROWS + row]


def pdo_rows(position, flag_key, patterns, receive):
    source = (position + 1) % DEVICES if receive else position
    return [
        {"cobId": tx_cob_id(source, j), flag_key: j % 2, "areas": patterns[j % len(patterns)]}
        for j in range(PDO_ROWS)
    ]


def sdo_rows(base_index, digital_code, word_code):
    return [
        {
            "index": base_index + j // 8,
            "subIndex": j % 8 + 1,
            "area": word_code if j % 3 == 0 else digital_code,
        }
        for j in range(SDO_ROWS)
    ]


def device(position):
    return {
        "nodeId": position + 1,
        "guardTime": 1000 + 100 * position,
        "txPdo": pdo_rows(position, "rtr", TX_PATTERNS, False),
        "rxPdo": pdo_rows(position, "cycle", RX_PATTERNS, True),
        "readSdo": sdo_rows(0x6000, 1, 2),
        "writeSdo": sdo_rows(0x6200, 0, 3),
    }


def numbers(values):
    return "[" + ", ".join(str(v) for v in values) + "]"


def pdo_text(row, flag_key):
    return '{ "cobId": "0x%X", "%s": %d, "areas": %s }' % (
        row["cobId"], flag_key, row[flag_key], numbers(row["areas"]))


def sdo_text(row):
    return '{ "index": "0x%X", "subIndex": %d, "area": %d }' % (
        row["index"], row["subIndex"], row["area"])


def table_lines(key, rows, end):
    indent = "      "
    if not rows:
        return [indent + '"%s": []%s' % (key, end)]
    return [indent + '"%s": [' % key,
            indent + "  " + (",\n" + indent + "  ").join(rows),
            indent + "]" + end]


def device_lines(dev, last):
    lines = ["    {", '      "nodeId": %d,' % dev["nodeId"],
             '      "guardTime": %d,' % dev["guardTime"]]
    lines += table_lines("txPdo", [pdo_text(r, "rtr") for r in dev["txPdo"]], ",")
    lines += table_lines("rxPdo", [pdo_text(r, "cycle") for r in dev["rxPdo"]], ",")
    lines += table_lines("readSdo", [sdo_text(r) for r in dev["readSdo"]], ",")
    lines += table_lines("writeSdo", [sdo_text(r) for r in dev["writeSdo"]], "")
    lines.append("    }" + ("" if last else ","))
    return lines


def config_text(devices):
    lines = [
        "{",
        '  "format": 1,',
        '  "ethernet": { "ip": [192, 168, 255, 3], "mask": [255, 255, 0, 0], '
        '"gateway": [192, 168, 255, 4] },',
        '  "serialId": 1,',
        '  "canBitRateCode": 7,',
        '  "sync": 1,',
        '  "syncTime": 10,',
        '  "serial": { "port": 1, "baudRate": 7, "dataBits": 2, "parity": 1, "stopBits": 1, '
        '"listen": 0 },',
        '  "devices": [',
    ]
    for k, dev in enumerate(devices):
        lines += device_lines(dev, k + 1 == len(devices))
    lines += ["  ]", "}"]
    return "\n".join(lines) + "\n"


def main():
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "maximal.json")
    with open(target, "w", encoding="ascii") as out:
        out.write(config_text([device(k) for k in range(DEVICES)]))


if __name__ == "__main__":
    main()
