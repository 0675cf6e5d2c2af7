#!/usr/bin/env python3
"""Writes maximal.json: the largest configuration the gateway holds.

Ten devices, each with 200 TxPDO and 200 RxPDO rows of eight typed bytes (digital bytes and
words mixed) and 30 Read and 30 Write SDO rows, some of them words.
Run from any directory: python3 examples/make-maximal.py
"""

import json
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


def pdo_rows(node, base_ids, flag_key, patterns):
    return [
        {
            "cobId": hex(base_ids[j % len(base_ids)] + node),
            flag_key: j % 2,
            "areas": patterns[j % len(patterns)],
        }
        for j in range(PDO_ROWS)
    ]


def sdo_rows(base_index, digital_code, word_code):
    return [
        {
            "index": hex(base_index + j // 8),
            "subIndex": j % 8 + 1,
            "area": word_code if j % 3 == 0 else digital_code,
        }
        for j in range(SDO_ROWS)
    ]


def device(position):
    node = position + 1
    return {
        "nodeId": node,
        "guardTime": 1000 + 100 * position,
        "txPdo": pdo_rows(node, [0x180, 0x280, 0x380, 0x480], "rtr", TX_PATTERNS),
        "rxPdo": pdo_rows(node, [0x200, 0x300, 0x400, 0x500], "cycle", RX_PATTERNS),
        "readSdo": sdo_rows(0x6000, 1, 2),
        "writeSdo": sdo_rows(0x6200, 0, 3),
    }


def compact(value):
    return json.dumps(value, separators=(", ", ": "))


# One table row per line keeps the file readable and small.
def device_text(dev):
    lines = ["    {", '      "nodeId": %d, "guardTime": %d,' % (dev["nodeId"], dev["guardTime"])]
    tables = ["txPdo", "rxPdo", "readSdo", "writeSdo"]
    for t, name in enumerate(tables):
        rows = ",\n".join("        " + compact(row) for row in dev[name])
        end = "," if t < len(tables) - 1 else ""
        lines.append('      "%s": [\n%s\n      ]%s' % (name, rows, end))
    lines.append("    }")
    return "\n".join(lines)


def config_text(config):
    head = ",\n".join("  %s: %s" % (json.dumps(key), compact(value))
                      for key, value in config.items() if key != "devices")
    devices = ",\n".join(device_text(dev) for dev in config["devices"])
    return "{\n%s,\n  \"devices\": [\n%s\n  ]\n}\n" % (head, devices)


def main():
    config = {
        "ethernet": {"ip": [192, 168, 255, 3], "mask": [255, 255, 0, 0],
                     "gateway": [192, 168, 255, 4]},
        "serialId": 1,
        "canBitRateCode": 7,
        "sync": 1,
        "syncTime": 10,
        "serial": {"port": 1, "baudRate": 7, "dataBits": 2, "parity": 1, "stopBits": 1,
                   "listen": 0},
        "devices": [device(k) for k in range(DEVICES)],
    }
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "maximal.json")
    with open(target, "w", encoding="ascii") as out:
        out.write(config_text(config))


if __name__ == "__main__":
    main()
