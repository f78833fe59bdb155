#!/usr/bin/python3
# Walks the accessibility tree of the named application over AT-SPI and lists the controls a
# screen reader would announce without a name. Prints "controls N unnamed M", then the
# unnamed ones.
import sys

import pyatspi

ROLES = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON,
    pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_LIST, pyatspi.ROLE_TABLE,
    pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_SLIDER, pyatspi.ROLE_MENU, pyatspi.ROLE_MENU_ITEM,
    pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TREE, pyatspi.ROLE_PAGE_TAB_LIST,
}


def walk(node, depth, found):
    if node is None or depth > 60:
        return
    role = node.getRole()
    if role in ROLES:
        found[0] += 1
        if not (node.name or "").strip():
            chain, parent = [], node.parent
            while parent is not None and len(chain) < 4:
                chain.append(f"{parent.getRoleName()}:{parent.name}")
                parent = parent.parent
            found[1].append(f"{node.getRoleName()} in " + " / ".join(chain))
    for i in range(node.childCount):
        walk(node.getChildAtIndex(i), depth + 1, found)


found = [0, []]
apps = [app for app in pyatspi.Registry.getDesktop(0) if app and app.name == sys.argv[1]]
for app in apps:
    walk(app, 0, found)
print(f"applications {len(apps)} controls {found[0]} unnamed {len(found[1])}")
for line in found[1]:
    print(line)
