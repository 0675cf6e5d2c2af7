#!/usr/bin/python
# -*- coding: utf-8 -*-
# The module only runs tolvar-cli and reports what it printed: reading, comparing and writing
# a gateway are the command line's, so Ansible and a shell user see the same behaviour.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: tolvar_gateway
short_description: Bring a Tolvar gateway to the configuration of a file
description:
  - Reads the configuration of a Tolvar CANopen/Modbus TCP gateway and, when it differs from
    the configuration file C(src), downloads the file and reads it back to verify it.
  - Runs C(tolvar-cli apply --json SRC HOST:PORT) and reports its result; the module itself
    holds no protocol logic.
  - A download takes about one second per frame, as the gateway needs.
  - "The module runs where the playbook connects to; use C(connection: local) (or
    C(delegate_to: localhost)) so that C(src) and C(tolvar-cli) are those of the control node."
version_added: "1.0.0"
options:
  src:
    description: Configuration file in the utility's JSON format.
    type: path
    required: true
  host:
    description: Address or name of the gateway; an IPv6 address with or without brackets.
    type: str
    required: true
  port:
    description: Modbus TCP port of the gateway.
    type: int
    default: 502
  ethernet:
    description:
      - Also send the Ethernet settings (IP address, mask, default gateway) that the file marks.
      - Changing the address of a gateway moves it; the next run has to use the new one.
    type: bool
    default: false
  cli:
    description: Path of C(tolvar-cli); by default it is looked up on the PATH.
    type: path
  connect_timeout:
    description: Seconds to wait for the connection; by default the command line's own (1 s).
    type: float
attributes:
  check_mode:
    support: full
    details: Reads the gateway and reports C(would-change) without writing (C(apply --check)).
  diff_mode:
    support: full
    details: One line per difference; before holds the gateway's values, after the file's.
notes:
  - Exit status 0 of C(tolvar-cli) with result C(changed), C(unchanged) or C(would-change) is
    success; anything else fails the task with the command line's message.
author:
  - Tolvar utility developers
"""

EXAMPLES = r"""
- name: Bring the gateway to its configuration file
  tolvar_gateway:
    src: files/line-3.json
    host: gw-line3.plant.example
  delegate_to: localhost

- name: Also its Ethernet settings, with a command line that is not on the PATH
  tolvar_gateway:
    src: files/line-3.json
    host: "{{ ansible_host }}"
    port: 502
    ethernet: true
    cli: /opt/tolvar/bin/tolvar-cli
    connect_timeout: 3
  delegate_to: localhost
"""

RETURN = r"""
result:
  description: The command line's result for the gateway.
  returned: when tolvar-cli printed its JSON line
  type: str
  sample: changed
frames:
  description: Download frames the gateway took.
  returned: when tolvar-cli printed its JSON line
  type: int
  sample: 2
frames_total:
  description: Download frames planned; 0 when nothing was to be sent.
  returned: when tolvar-cli printed its JSON line
  type: int
  sample: 2
seconds:
  description: How long the work on the gateway took.
  returned: when tolvar-cli printed its JSON line
  type: float
  sample: 3.2
message:
  description: What was done, or why it failed, for a person.
  returned: always
  type: str
  sample: "Configuration sent and verified: the gateway holds it."
differences:
  description: Every field where the gateway and the file differed, as tolvar-cli lists them.
  returned: when tolvar-cli printed its JSON line
  type: list
  elements: dict
  sample:
    - device: 1
      table: TxPDO
      row: 3
      field: COB-ID
      gateway: "0x182"
      file: "0x183"
      text: "Device 1, TxPDO row 3, COB-ID: gateway 0x182, file 0x183"
cmd:
  description: The command that was run.
  returned: always
  type: list
  elements: str
  sample: [tolvar-cli, apply, --json, line-3.json, "gw-line3.plant.example:502"]
"""

import json
import os

from ansible.module_utils.basic import AnsibleModule

# Results of `apply` after which the gateway holds the file's configuration (or, in check mode,
# would); the first two mean that it had to change.
CHANGING_RESULTS = ("changed", "would-change")
SUCCESS_RESULTS = CHANGING_RESULTS + ("unchanged",)

ARGUMENT_SPEC = dict(
    src=dict(type="path", required=True),
    host=dict(type="str", required=True),
    port=dict(type="int", default=502),
    ethernet=dict(type="bool", default=False),
    cli=dict(type="path"),
    connect_timeout=dict(type="float"),
)


def target_of(host, port):
    """HOST:PORT as the command line takes it; an IPv6 address goes in brackets."""
    if ":" in host and not host.startswith("["):
        host = "[%s]" % host
    return "%s:%d" % (host, port)


def command_of(cli, params, check_mode):
    """The tolvar-cli command line for the module's options."""
    command = [cli, "apply", "--json"]
    if check_mode:
        command.append("--check")
    if params["ethernet"]:
        command.append("--ethernet")
    if params["connect_timeout"] is not None:
        command += ["--connect-timeout", "%g" % params["connect_timeout"]]
    return command + [params["src"], target_of(params["host"], params["port"])]


def json_line_of(stdout):
    """The JSON object tolvar-cli printed for the gateway, or None."""
    found = None
    for line in stdout.splitlines():
        line = line.strip()
        if not line.startswith("{"):
            continue
        try:
            value = json.loads(line)
        except ValueError:
            continue
        if isinstance(value, dict):
            found = value
    return found


def place_of(difference):
    """Where a difference lies, as tolvar-cli names it: "Device 1, TxPDO row 3, COB-ID"."""
    place = []
    if difference.get("device"):
        place.append("Device %s" % difference["device"])
    table = difference.get("table")
    if table:
        row = difference.get("row")
        place.append("%s row %s" % (table, row) if row else table)
    place.append(str(difference.get("field", "")))
    return ", ".join(place)


def side_of(differences, side):
    """One line per difference with the value of one side ("gateway" or "file")."""
    return "".join(
        "%s: %s\n" % (place_of(difference), difference.get(side, "")) for difference in differences
    )


def diff_of(differences, params):
    """The before (gateway) and after (file) texts of diff mode."""
    return dict(
        before=side_of(differences, "gateway"),
        after=side_of(differences, "file"),
        before_header="gateway %s" % target_of(params["host"], params["port"]),
        after_header=params["src"],
    )


def failure_message(rc, report, stderr):
    """Why the task failed: the command line's own words where it gave any."""
    if report and report.get("message"):
        return report["message"]
    if stderr.strip():
        return stderr.strip().splitlines()[-1]
    if report:
        return "tolvar-cli ended with result %s" % report.get("result")
    return "tolvar-cli exited with status %d and printed no result" % rc


def results_of(report):
    """The module's return values from the command line's JSON line."""
    return dict(
        result=report.get("result"),
        frames=report.get("frames"),
        frames_total=report.get("framesTotal"),
        seconds=report.get("seconds"),
        message=report.get("message", ""),
        differences=report.get("differences", []),
    )


def cli_path(module):
    """tolvar-cli: the one the task names, or the one on the PATH."""
    cli = module.params["cli"]
    if cli is None:
        return module.get_bin_path("tolvar-cli", required=True)
    if not (os.path.isfile(cli) and os.access(cli, os.X_OK)):
        module.fail_json(msg="cli: %s is not an executable file" % cli)
    return cli


def run_module():
    module = AnsibleModule(argument_spec=ARGUMENT_SPEC, supports_check_mode=True)
    command = command_of(cli_path(module), module.params, module.check_mode)
    rc, stdout, stderr = module.run_command(command)
    report = json_line_of(stdout)
    returned = results_of(report) if report else dict(message="")
    returned.update(cmd=command, changed=False)
    if rc != 0 or not report or report.get("result") not in SUCCESS_RESULTS:
        returned.update(msg=failure_message(rc, report, stderr), rc=rc, stdout=stdout,
                        stderr=stderr)
        module.fail_json(**returned)
    returned["changed"] = report["result"] in CHANGING_RESULTS
    if module._diff and returned["changed"]:
        returned["diff"] = diff_of(returned["differences"], module.params)
    module.exit_json(**returned)


def main():
    run_module()


if __name__ == "__main__":
    main()
