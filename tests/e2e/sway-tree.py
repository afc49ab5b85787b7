#!/usr/bin/env python3
"""Reads `swaymsg -t get_tree` on standard input and prints, for the program's card (the
XWayland window titled "Orvanta"), one line:

    X Y WIDTH HEIGHT STICKY VISIBLE WORKSPACE WX WY WWIDTH WHEIGHT PID

with the card's rectangle, whether it is sticky and visible, and the name and rectangle of the
workspace that holds it. Prints nothing when there is no such window."""
import json
import sys


def walk(node, workspace):
    if node.get("type") == "workspace":
        workspace = node
    if node.get("name") == sys.argv[1] and node.get("shell") == "xwayland":
        yield node, workspace
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from walk(child, workspace)


for card, workspace in walk(json.load(sys.stdin), None):
    r, w = card["rect"], workspace["rect"]
    print(r["x"], r["y"], r["width"], r["height"], str(card.get("sticky")).lower(),
          str(card.get("visible")).lower(), workspace["name"], w["x"], w["y"], w["width"], w["height"],
          card.get("pid", 0))
    break
