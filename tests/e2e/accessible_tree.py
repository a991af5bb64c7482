#!/usr/bin/python3
"""Walks Qubrix's accessible tree over at-spi, as a screen reader sees it.

Usage: accessible_tree.py walk MODE TIMEOUT
       accessible_tree.py shown NAME TIMEOUT
       accessible_tree.py layout TITLE TIMEOUT

Each waits up to TIMEOUT seconds for the application "qubrix" to show its main window.

walk prints one line per node a reader reaches (MODE, role, name) and ends with status 1 when a
node that takes the focus or informs has no name: a reader would announce it as a bare role.

shown waits until a node of that name is shown and prints its text, as a reader reads it out;
status 1 when none is shown by then.

layout checks the shown window of that title as the eye sees it: no two controls share room and
none reaches past the window's edge. It prints each control's place and ends with status 1 on a
fault.
"""

import subprocess
import sys
import time

import pyatspi

# Roles a reader stops at or reads out. A shown label or picture informs: the window hides its
# ornaments and empty labels from readers.
NAMED_ROLES = {
    pyatspi.ROLE_PUSH_BUTTON,
    pyatspi.ROLE_TOGGLE_BUTTON,
    pyatspi.ROLE_RADIO_BUTTON,
    pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_TEXT,
    pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_PASSWORD_TEXT,
    pyatspi.ROLE_LIST,
    pyatspi.ROLE_LIST_ITEM,
    pyatspi.ROLE_MENU,
    pyatspi.ROLE_MENU_ITEM,
    pyatspi.ROLE_CHECK_MENU_ITEM,
    pyatspi.ROLE_RADIO_MENU_ITEM,
    pyatspi.ROLE_COMBO_BOX,
    pyatspi.ROLE_SPIN_BUTTON,
    pyatspi.ROLE_SLIDER,
    pyatspi.ROLE_PAGE_TAB,
    pyatspi.ROLE_LABEL,
    pyatspi.ROLE_STATIC,
    pyatspi.ROLE_IMAGE,
    pyatspi.ROLE_ICON,
}


def find_application(deadline):
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is None or not (app.name or "").lower().startswith("qubrix"):
                continue
            for window in app:
                if window is not None and window.getState().contains(pyatspi.STATE_SHOWING):
                    return app
        time.sleep(0.2)
    return None


def walk(node, path):
    """Yields (node, path) for the node and everything below it but the menu bar's contents,
    which are walked with each menu open."""
    yield node, path
    if node.getRole() == pyatspi.ROLE_MENU_BAR:
        return
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield from walk(child, path + [index])


def shown(node):
    """A node marked invisible is one the window shows to sight alone."""
    states = node.getState()
    return states.contains(pyatspi.STATE_VISIBLE) and states.contains(pyatspi.STATE_SHOWING)


def popup_of(item):
    for child in item:
        if child is not None and child.getRole() == pyatspi.ROLE_POPUP_MENU:
            return child
    return None


def open_menu(item, deadline):
    """Opens the menu bar's menu through the item's own action, as a reader does, and gives
    its popup once shown."""
    action = item.queryAction()
    names = [action.getName(index) for index in range(action.nActions)]
    action.doAction(names.index("ShowMenu") if "ShowMenu" in names else 0)
    popup = popup_of(item)
    while popup is not None and time.monotonic() < deadline:
        if shown(popup):
            return popup
        time.sleep(0.1)
    return None


def menu_nodes(bar, deadline):
    """Yields (node, path) for each command of the menu bar's menus that are shown. A submenu
    opens only under the pointer; its commands count as reached when the submenu's own
    command is."""
    for index in range(bar.childCount):
        item = bar.getChildAtIndex(index)
        if item is None or not shown(item):
            continue
        yield item, [index]
        popup = open_menu(item, deadline)
        if popup is None:
            raise RuntimeError(f"the menu {item.name!r} did not open")
        for command_index in range(popup.childCount):
            command = popup.getChildAtIndex(command_index)
            if command is None or not shown(command):
                continue
            yield command, [index, command_index]
            submenu = popup_of(command)
            for sub_index in range(submenu.childCount if submenu else 0):
                yield submenu.getChildAtIndex(sub_index), [index, command_index, sub_index]
        subprocess.run(["xdotool", "key", "Escape"], check=False)


def read_out(node):
    try:
        text = node.queryText()
    except NotImplementedError:
        return node.name
    return text.getText(0, -1)


def shown_node(app, name, deadline):
    while time.monotonic() < deadline:
        for window in app:
            for node, _ in walk(window, []):
                if (node.name or "").strip() == name and shown(node) and shown(window):
                    return node
        time.sleep(0.2)
    return None


# What a user sees and works as one thing on the screen; a list's rows lie in their list.
PLACED_ROLES = NAMED_ROLES - {
    pyatspi.ROLE_LIST_ITEM,
    pyatspi.ROLE_MENU,
    pyatspi.ROLE_MENU_ITEM,
    pyatspi.ROLE_CHECK_MENU_ITEM,
    pyatspi.ROLE_RADIO_MENU_ITEM,
}


def place_of(node):
    extents = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return extents.x, extents.y, extents.width, extents.height


def overlap(one, other):
    left, top = max(one[0], other[0]), max(one[1], other[1])
    right = min(one[0] + one[2], other[0] + other[2])
    bottom = min(one[1] + one[3], other[1] + other[3])
    return right > left and bottom > top


def check_layout(app, title, deadline):
    window = None
    while window is None and time.monotonic() < deadline:
        window = next((w for w in app if w is not None and w.name == title and shown(w)), None)
        time.sleep(0.2)
    if window is None:
        print(f"no window titled {title!r} is shown")
        return 1
    frame = place_of(window)
    controls = []
    for node, path in walk(window, []):
        if node.getRole() in PLACED_ROLES and shown(node):
            controls.append((node, path, place_of(node)))
    faults = []
    for index, (node, path, place) in enumerate(controls):
        label = f"{node.getRoleName()} {node.name.strip()!r}"
        print(f"{title} | {label} | {place[0] - frame[0]},{place[1] - frame[1]} {place[2]}x{place[3]}")
        if place[2] <= 0 or place[3] <= 0:
            faults.append(f"{label} has no room")
        elif not (frame[0] <= place[0] and place[0] + place[2] <= frame[0] + frame[2] and
                  frame[1] <= place[1] and place[1] + place[3] <= frame[1] + frame[3]):
            faults.append(f"{label} is cut by the window's edge")
        for other, other_path, other_place in controls[index + 1:]:
            nested = other_path[:len(path)] == path or path[:len(other_path)] == other_path
            if not nested and overlap(place, other_place):
                faults.append(f"{label} and {other.getRoleName()} {other.name.strip()!r} overlap")
    if not controls:
        faults.append("no control is shown")
    for fault in faults:
        print(f"{title}: {fault}")
    return 1 if faults else 0


def main():
    command, argument, timeout = sys.argv[1], sys.argv[2], float(sys.argv[3])
    deadline = time.monotonic() + timeout
    app = find_application(deadline)
    if app is None:
        print("no application named qubrix with a shown window on the bus")
        return 1
    if command == "layout":
        return check_layout(app, argument, deadline)
    if command == "shown":
        node = shown_node(app, argument, deadline)
        if node is None:
            print(f"no node named {argument!r} is shown")
            return 1
        print(read_out(node))
        return 0
    mode = argument
    unnamed = []
    rows = 0
    for window in app:
        if window is None or not shown(window):
            continue
        nodes = [(node, path) for node, path in walk(window, []) if shown(node)]
        for node, path in list(nodes):
            if node.getRole() == pyatspi.ROLE_MENU_BAR:
                nodes += [(item, path + where) for item, where in menu_nodes(node, deadline)]
        for node, path in nodes:
            if node.getRole() not in NAMED_ROLES:
                continue
            name = (node.name or "").strip()
            print(f"{mode:6} | {node.getRoleName():12} | {name}")
            rows += 1
            if not name:
                where = "/".join(map(str, path))
                unnamed.append(f"{node.getRoleName()} at {window.name}/{where}")
    if rows == 0:
        print(f"{mode}: the tree holds no control at all")
        return 1
    for node in unnamed:
        print(f"{mode}: unnamed {node}")
    return 1 if unnamed else 0


if __name__ == "__main__":
    sys.exit(main())
