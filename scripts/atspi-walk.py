#!/usr/bin/python3
# Walks the accessibility tree that a screen reader sees of a running Quarmel Inventory and lists every
# table, field, chart, button and check box without a name. Run by scripts/check-accessibility, inside a
# private session bus where the program was started with accessibility on.
#
# atspi-walk.py PID [--page-buttons NAME...] [--expect WORD...]
#   PID             the program's process
#   --press NAME... buttons to press one after the other (by their accessible name), each page walked;
#                   a NAME starting with ? is pressed only where there is one (the OK of a message)
#   --dismiss NAME... the buttons that answer a message left open by a step (OK, No), pressed before the next
#   --described     some table cell must carry a description (the marks of the weighings to check)
#   --dump          print the tree of the last page shown
#   --expect WORD   a word that some name must contain (the interface language), checked at the end
# Exit status: 0 all named, 1 something unnamed or an expected word missing, 2 the program not found.
import sys
import time

import pyatspi

CHECKED_ROLES = {
    pyatspi.ROLE_TABLE: "table",
    pyatspi.ROLE_TREE_TABLE: "table",
    pyatspi.ROLE_TEXT: "text field",
    pyatspi.ROLE_ENTRY: "text field",
    pyatspi.ROLE_PASSWORD_TEXT: "text field",
    pyatspi.ROLE_SPIN_BUTTON: "spin box",
    pyatspi.ROLE_COMBO_BOX: "combo box",
    pyatspi.ROLE_PUSH_BUTTON: "button",
    pyatspi.ROLE_TOGGLE_BUTTON: "button",
    pyatspi.ROLE_CHECK_BOX: "check box",
    pyatspi.ROLE_RADIO_BUTTON: "radio button",
    pyatspi.ROLE_CHART: "chart",
    pyatspi.ROLE_LIST: "list",
    pyatspi.ROLE_DATE_EDITOR: "date field",
}
# Parts that Qt builds inside a compound widget and that are spoken with it.
INSIDE_ROLES = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_COMBO_BOX,
                pyatspi.ROLE_SCROLL_BAR, pyatspi.ROLE_LIST, pyatspi.ROLE_DATE_EDITOR}


def find_application(pid, wait=20.0):
    deadline = time.time() + wait
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:
                continue
        time.sleep(0.5)
    return None


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def walk(node, path, inside, unnamed, names, counted, depth=0):
    if depth > 40:
        return
    try:
        role = node.getRole()
        name = (node.name or "").strip()
    except Exception:
        return
    if name:
        names.add(name)
    if role == pyatspi.ROLE_TABLE_CELL or role == pyatspi.ROLE_COLUMN_HEADER or role == pyatspi.ROLE_ROW_HEADER:
        # Cells are many and spoken by their text; the doubt marks among them by their description.
        try:
            description = (node.description or "").strip()
        except Exception:
            description = ""
        if description:
            counted["described cells"] = counted.get("described cells", 0) + 1
        return
    kind = CHECKED_ROLES.get(role)
    # A chart has no role of its own: it is a pane that takes the focus, where layout panes do not, with one
    # empty pane inside (its drawing area; the chart's parts are no widgets). Scroll areas hold widgets.
    chart = False
    if role == pyatspi.ROLE_FILLER and not inside:
        try:
            children = [child for child in node if child is not None]
            chart = node.getState().contains(pyatspi.STATE_FOCUSABLE) and len(children) == 1 and \
                children[0].getRole() == pyatspi.ROLE_FILLER and children[0].childCount == 0
        except Exception:
            chart = False
        if chart:
            kind = "chart"
    if kind and not inside and showing(node):
        counted[kind] = counted.get(kind, 0) + 1
        if not name:
            unnamed.append("%s: %s (%s)" % (kind, " > ".join(path[-3:]), node.getRoleName()))
    label = name or node.getRoleName()
    now_inside = inside or chart or role in INSIDE_ROLES
    try:
        children = list(node)
    except Exception:
        return
    for child in children:
        if child is not None:
            walk(child, path + [label], now_inside, unnamed, names, counted, depth + 1)


def press(app, button_name, windows=None):
    def find(node, depth=0):
        if depth > 40:
            return None
        try:
            if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and node.name.replace("&", "") == button_name \
                    and showing(node):
                return node
            for child in node:
                if child is None:
                    continue
                found = find(child, depth + 1)
                if found:
                    return found
        except Exception:
            return None
        return None

    button = None
    for window in (windows if windows is not None else [app]):
        button = find(window)
        if button is not None:
            break
    if button is None:
        return False
    action = button.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click"):
            action.doAction(i)
            return True
    action.doAction(0)
    return True


def dump(node, depth=0):
    if depth > 30:
        return
    try:
        if not showing(node) and depth > 0:
            return
        print("  " * depth + "%s '%s' %s" % (node.getRoleName(), node.name, ("- " + node.description) if node.description else ""))
        if node.getRole() == pyatspi.ROLE_TABLE:
            return
        for child in node:
            if child is not None:
                dump(child, depth + 1)
    except Exception:
        return


def main():
    args = sys.argv[1:]
    if not args:
        print(__doc__ or "usage: atspi-walk.py PID [--press NAME...] [--expect WORD...]")
        return 2
    pid = int(args[0])
    presses, expected, dismiss, target = [], [], [], None
    for arg in args[1:]:
        if arg in ("--press", "--expect", "--dismiss"):
            target = {"--press": presses, "--expect": expected, "--dismiss": dismiss}[arg]
        elif arg in ("--dump", "--described"):
            target = None
        elif target is not None:
            target.append(arg)
    app = find_application(pid)
    if app is None:
        print("The program (process %d) is not on the accessibility bus." % pid)
        return 2
    unnamed, names, counted = [], set(), {}
    pages = [None] + presses
    for page in pages:
        if page is not None:
            # The messages of the last step are read, then answered, before the window goes on.
            for _ in range(10):
                alerts = [w for w in app if w is not None and w.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)]
                if not alerts or not any(press(app, answer, alerts) for answer in dismiss):
                    break
                time.sleep(1.0)
            optional = page.startswith("?")
            mains = [w for w in app if w is not None and w.getRole() == pyatspi.ROLE_FRAME]
            if not press(app, page.lstrip("?"), mains):
                if not optional:
                    unnamed.append("no button named '%s' to press" % page)
                continue
            time.sleep(1.5)
        before = len(unnamed)
        windows = []
        for window in app:
            if window is not None:
                windows.append("%s '%s'" % (window.getRoleName(), window.name))
                walk(window, [page or "start"], False, unnamed, names, counted)
        print("%s: %d unnamed; %s" % (page or "start", len(unnamed) - before, ", ".join(windows)))
    if "--dump" in args:
        dump(app)
    missing = [word for word in expected if not any(word in name for name in names)]
    print("checked: " + ", ".join("%d %s" % (n, kind) for kind, n in sorted(counted.items())))
    for line in unnamed:
        print("UNNAMED " + line)
    for word in missing:
        print("MISSING no name contains '%s'" % word)
    # The sample count has weighings to check: their cells must say why to a reader too.
    if "--described" in args and not counted.get("described cells"):
        print("UNDESCRIBED no cell carries a description (the weighings to check)")
        return 1
    return 1 if unnamed or missing else 0


if __name__ == "__main__":
    sys.exit(main())
