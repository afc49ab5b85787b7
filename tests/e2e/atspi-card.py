#!/usr/bin/python3
"""Reads the running program as a screen reader does, through AT-SPI, and drives it with
the keyboard alone (xdotool) and with a reader's actions.

    atspi-card.py en|de

Prints one PASS or FAIL line a check; exits 1 when any failed. Needs the session bus with
the accessibility bus on it, and the program started with QT_ACCESSIBILITY=1.
"""

import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

TEXTS = {
    'en': {
        'hide': 'Hide drawer', 'show': 'Show drawer', 'duration': 'Countdown duration', 'hint': 'h:mm:ss',
        'start': 'Start', 'cancel': 'Cancel', 'note': 'New note', 'placeholder': 'Add a note…',
        'cancel countdown': 'Cancel countdown', 'delete': 'Delete note: ',
        'time': r'^\d{1,2}:\d\d (AM|PM), (Monday|Tuesday|Wednesday|Thursday|Friday|Saturday|Sunday), \w+ \d{1,2}$',
        'countdown': r'^Countdown, (24 minutes 5\d seconds|25 minutes) left$',
        'card menu': ['Preferences…', 'Quit Orvanta'],
        'tray menu': ['Show / Hide Widget', 'Preferences…', 'Quit Orvanta'],
        'preferences': 'Orvanta Preferences',
    },
    'de': {
        'hide': 'Schublade schließen', 'show': 'Schublade öffnen', 'duration': 'Countdown-Dauer',
        'hint': 'h:mm:ss', 'start': 'Starten', 'cancel': 'Abbrechen', 'note': 'Neue Notiz',
        'placeholder': 'Notiz hinzufügen …', 'cancel countdown': 'Countdown abbrechen', 'delete': 'Notiz löschen: ',
        # German writes the time of day in 24 hours: so does a fresh profile.
        'time': r'^\d\d:\d\d, (Montag|Dienstag|Mittwoch|Donnerstag|Freitag|Samstag|Sonntag), \d{1,2}\. \w+$',
        'countdown': r'^Countdown, noch (24 Minuten 5\d Sekunden|25 Minuten)$',
        'card menu': ['Einstellungen …', 'Orvanta beenden'],
        'tray menu': ['Widget ein-/ausblenden', 'Einstellungen …', 'Orvanta beenden'],
        'preferences': 'Orvanta-Einstellungen',
    },
}

failures = 0
menus = []
# (event type, detail1, the source's name, its role) of the state changes a reader speaks.
events = []


def check(ok, what, detail=''):
    global failures
    print(('PASS: ' if ok else 'FAIL: ') + what + ('' if ok else f' ({detail})'), flush=True)
    failures += 0 if ok else 1
    return ok


def pump():
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


def poll(predicate, seconds=20.0):
    """Runs predicate every 20 ms until it returns something true; that, or None. The deadline
    is generous for a busy machine: a poll ends as soon as the predicate holds."""
    deadline = time.monotonic() + seconds
    while True:
        pump()
        try:
            result = predicate()
        except Exception:  # an object that went away between two calls
            result = None
        if result or time.monotonic() > deadline:
            return result
        time.sleep(0.02)


def program():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == 'Orvanta':
            app.clear_cache()
            return app
    return None


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def states(node):
    return {pyatspi.stateToString(s) for s in node.getState().getStates()}


def find(role, name=None, showing=True, match=lambda n: True):
    app = program()
    if app is None:
        return None
    for node in walk(app):
        if node.getRoleName() != role or (name is not None and node.name != name) or not match(node):
            continue
        if showing is None or ('showing' in states(node)) == showing:
            return node
    return None


def focused():
    """The name of the deepest focused object: a field's frame counts as focused with it."""
    name = None
    for node in walk(program()):
        if 'focused' in states(node):
            name = node.name
    return name


def act(node):
    node.queryAction().doAction(0)


def key(*keys):
    subprocess.run(['xdotool', 'key', '--delay', '40', *keys], check=True)


def focus_is(name):
    return poll(lambda: focused() == name)


def on_showing(event):
    if event.detail1 == 1 and event.source.getRoleName() == 'popup menu':
        items = (event.source.getChildAtIndex(i) for i in range(event.source.childCount))
        menus.append([item.name for item in items if item is not None and item.getRoleName() == 'menu item'])


def on_state(event):
    try:
        events.append((event.type, event.detail1, event.source.name, event.source.getRoleName()))
    except Exception:  # an object that went away
        pass


def heard(kind, detail=1):
    """The names whose `kind` state went to detail, in order."""
    return [name for (type_, d, name, _) in events if type_ == 'object:state-changed:' + kind and d == detail]


def open_menu(command):
    """Opens a menu with the xdotool command and returns its entries, then closes it."""
    menus.clear()
    subprocess.run(['xdotool', *command], check=True)
    entries = poll(lambda: menus and menus[-1])
    key('Escape')
    poll(lambda: not find('popup menu', showing=True))
    time.sleep(0.8)  # Qt's tray icon ignores a press that follows a closed menu too closely
    return entries


def window_origin():
    # The tray icon's window has the card's title too: the card is the wide one. A right
    # click that misses the card opens the window manager's menu instead.
    for wid in subprocess.check_output(['xdotool', 'search', '--onlyvisible', '--name', '^Orvanta$']).split():
        shell = dict(line.split('=') for line in
                     subprocess.check_output(['xdotool', 'getwindowgeometry', '--shell', wid]).decode().split())
        if int(shell['WIDTH']) >= 100:
            return int(shell['X']), int(shell['Y'])
    raise RuntimeError('no card window')


def tray_icon_centre(tray_window):
    tree = subprocess.check_output(['xwininfo', '-tree', '-id', tray_window]).decode()
    wid = next(line.split()[0] for line in tree.splitlines() if '("orvanta"' in line.lower())
    info = subprocess.check_output(['xwininfo', '-id', wid]).decode()
    value = lambda label: int(re.search(label + r':\s+(-?\d+)', info).group(1))
    return (value('Absolute upper-left X') + value('Width') // 2,
            value('Absolute upper-left Y') + value('Height') // 2)


def tree_and_names(t):
    check(find('frame', 'Orvanta') is not None, 'the card is a window named Orvanta')
    face = find('label', match=lambda n: re.match(t['time'], n.name or ''))
    check(face is not None, 'the clock face is a label named by the time and date, without seconds',
          [n.name for n in walk(program()) if n.getRoleName() == 'label'])
    grip = find('push button', t['hide'])
    check(grip is not None and {'expandable', 'expanded'} <= states(grip),
          'the grip is a push button, expanded while the drawer is open', grip and states(grip))
    field = find('text', t['duration'])
    check(field is not None and t['hint'] in field.description, 'the timer field is named, its hint described')
    check(find('push button', t['start']) and find('push button', t['cancel']), 'Start and Cancel are push buttons')
    note = find('text', t['note'])
    check(note is not None and note.description == t['placeholder'], 'the note field is named, its placeholder described',
          note and note.description)
    check(find('push button', t['cancel countdown'], showing=True) is None, 'no countdown button without a countdown')
    repeated = [(n.getRoleName(), n.name) for n in walk(program()) if n.name and n.description == n.name]
    check(not repeated, 'no description repeats its name (a tooltip that says the name is not read twice)', repeated)


def menus_read(t, tray_window):
    """The card's menu, the tray's and the card's again: each reads whole, also after the other."""
    x, y = window_origin()
    cx, cy = tray_icon_centre(tray_window)
    for what, command, expected in (
            ("the card's context menu", ['mousemove', str(x + 110), str(y + 20), 'click', '3'], t['card menu']),
            ('the tray menu', ['mousemove', str(cx), str(cy), 'click', '1'], t['tray menu']),
            ("the card's context menu, again", ['mousemove', str(x + 110), str(y + 20), 'click', '3'],
             t['card menu'])):
        entries = open_menu(command)
        check(entries == expected, what, entries or 'no menu')


def keyboard_and_actions(t):
    # Closing and opening the drawer gives the card the keyboard and the timer field the focus.
    act(find('push button', t['hide']))
    check(poll(lambda: find('push button', t['show'])) and poll(lambda: not find('text', t['duration'])),
          "a reader's press on the grip closes the drawer and its controls leave the view")
    act(find('push button', t['show']))
    check(focus_is(t['duration']), 'opened, the drawer gives the timer field the keyboard', focused())

    key('Tab', 'Tab', 'Tab')
    check(focus_is(t['note']), 'Tab reaches Start, Cancel and the note field', focused())
    for text in ('Groceries', 'Laundry'):
        subprocess.run(['xdotool', 'type', '--delay', '30', text], check=True)
        key('Return')
    check(poll(lambda: find('check box', 'Laundry')), 'typed notes become check boxes named by their text')
    named = [n.getRoleName() for n in walk(program()) if n.name == 'Laundry']
    check(named == ['check box'], "a note's text is heard once: only its check box carries it", named)

    order = ['Groceries', t['delete'] + 'Groceries', 'Laundry', t['delete'] + 'Laundry', t['hide'],
             t['duration'], t['start'], t['cancel'], t['note']]
    seen = []
    for name in order:
        key('Tab')
        poll(lambda: focused() == name)
        seen.append(focused())
    check(seen == order, 'Tab goes round the card in reading order, the grip before the drawer', seen)
    key('shift+Tab', 'shift+Tab')
    check(focus_is(t['start']), 'Shift+Tab goes back', focused())

    key('shift+Tab', 'shift+Tab', 'shift+Tab', 'shift+Tab', 'shift+Tab', 'shift+Tab')
    check(focus_is('Groceries'), 'back on the first note', focused())
    key('space')
    check(poll(lambda: 'checked' in states(find('check box', 'Groceries'))), 'Space checks the focused note')
    act(find('check box', 'Laundry'))
    check(poll(lambda: 'checked' in states(find('check box', 'Laundry'))), "a reader's toggle checks a note")
    act(find('push button', t['delete'] + 'Laundry'))
    check(poll(lambda: not find('check box', 'Laundry', showing=None)), "a reader's press deletes a note")
    key('Tab', 'Return')
    check(poll(lambda: not find('check box', 'Groceries', showing=None)), 'Return on a focused cross deletes its note')
    check(focus_is(t['note']), 'with the last note gone, the note field has the keyboard', focused())

    key('shift+Tab', 'shift+Tab', 'Return')
    face = poll(lambda: find('label', match=lambda n: re.match(t['countdown'], n.name or '')))
    check(face is not None, 'Return on Start starts the countdown; the face reads the time left', face and face.name)
    check(focus_is(t['cancel countdown']), 'the closed drawer leaves the keyboard on the countdown button', focused())
    key('Return')
    check(poll(lambda: find('label', match=lambda n: re.match(t['time'], n.name or ''))),
          'Return on the countdown button cancels it')
    check(focus_is(t['show']), 'then the grip has the keyboard', focused())
    act(find('push button', t['show']))
    check(focus_is(t['duration']), 'the grip opens the drawer again', focused())
    key('Escape')
    check(poll(lambda: find('push button', t['show'])), 'Escape closes the drawer')
    check(focus_is(t['show']), 'and leaves the keyboard on the grip', focused())
    act(find('push button', t['show']))
    check(poll(lambda: find('push button', t['start'])), 'open again')
    act(find('push button', t['start']))
    check(poll(lambda: find('push button', t['cancel countdown'])), "a reader's press on Start starts a countdown")
    act(find('push button', t['cancel countdown']))
    check(poll(lambda: find('label', match=lambda n: re.match(t['time'], n.name or ''))),
          "a reader's press on the countdown button cancels it")


def heard_once(t):
    """The state changes a reader speaks: each once, and only the true ones."""
    # The last countdown closed the drawer.
    events.clear()
    act(find('push button', t['show']))
    check(poll(lambda: heard('expanded', 1) == [t['hide']]), 'opening the drawer reports the grip expanded', events)
    act(find('push button', t['hide']))
    check(poll(lambda: heard('expanded', 0) == [t['show']]), 'closing it reports the grip not expanded', events)
    act(find('push button', t['show']))
    check(focus_is(t['duration']), 'open again, the timer field has the keyboard', focused())

    key('ctrl+comma')
    dialog = poll(lambda: find('dialog', t['preferences']))
    check(dialog is not None, 'the preferences window is a dialog named by its title',
          [(n.getRoleName(), n.name) for n in walk(program()) if n.getRoleName() in ('frame', 'dialog', 'filler')][:6])
    events.clear()
    act(find('radio button', 'Blue'))
    check(poll(lambda: 'checked' in states(find('radio button', 'Blue'))), "a reader's press chooses Blue")
    time.sleep(0.5)
    check(heard('checked') == ['Blue'], 'choosing Blue reports Blue checked, and no other swatch on the way',
          heard('checked'))
    act(find('radio button', 'Black'))
    poll(lambda: 'checked' in states(find('radio button', 'Black')))

    # The preferences window has the keyboard; a click into the card's note field moves it there.
    note = find('text', t['note'])
    x, y, w, h = note.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    events.clear()
    # Held as a hand holds a click: the window is activated while the button is down.
    subprocess.run(['xdotool', 'mousemove', str(x + w // 2), str(y + h // 2), 'mousedown', '1', 'sleep', '0.15',
                    'mouseup', '1'], check=True)
    check(focus_is(t['note']), 'a click into the inactive card gives the note field the keyboard', focused())
    time.sleep(0.5)
    check(heard('focused') == [t['note']], 'and a reader hears only the note field', heard('focused'))


def main():
    language, tray_window = sys.argv[1], sys.argv[2]
    t = TEXTS[language]
    pyatspi.Registry.registerEventListener(on_showing, 'object:state-changed:showing')
    for kind in ('focused', 'expanded', 'checked'):
        pyatspi.Registry.registerEventListener(on_state, 'object:state-changed:' + kind)
    print('listening', flush=True)  # the program is started after this line
    if not check(poll(lambda: find('push button', t['hide']), 60), 'the program shows up on the accessibility bus'):
        return 1
    tree_and_names(t)
    menus_read(t, tray_window)
    if language == 'en':
        keyboard_and_actions(t)
        heard_once(t)
    print(f'atspi-card {language}: {failures} failed', flush=True)
    return 1 if failures else 0


sys.exit(main())
