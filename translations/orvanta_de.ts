<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>Application</name>
    <message>
        <source>Show / Hide Widget</source>
        <translation>Widget ein-/ausblenden</translation>
    </message>
    <message>
        <source>Preferences…</source>
        <translation>Einstellungen …</translation>
    </message>
    <message>
        <source>Quit Orvanta</source>
        <translation>Orvanta beenden</translation>
    </message>
    <message>
        <source>Hide Widget</source>
        <translation>Widget ausblenden</translation>
    </message>
    <message>
        <source>Orvanta: %1 left</source>
        <translation>Orvanta: noch %1</translation>
    </message>
    <message>
        <source>Countdown ended</source>
        <translation>Countdown abgelaufen</translation>
    </message>
    <message>
        <source>The countdown of %1 has ended.</source>
        <translation>Der Countdown von %1 ist abgelaufen.</translation>
    </message>
</context>
<context>
    <name>ClockFace</name>
    <message>
        <source>Cancel countdown</source>
        <translation>Countdown abbrechen</translation>
    </message>
    <message>
        <source>Pause countdown</source>
        <translation>Countdown anhalten</translation>
    </message>
    <message>
        <source>Resume countdown</source>
        <translation>Countdown fortsetzen</translation>
    </message>
</context>
<context>
    <name>ClockText</name>
    <message>
        <source>PM</source>
        <extracomment>Beside the clock&apos;s digits, lit after noon; as short as the language allows</extracomment>
        <translation>PM</translation>
    </message>
    <message>
        <source>AM</source>
        <extracomment>Beside the clock&apos;s digits, lit before noon; as short as the language allows</extracomment>
        <translation>AM</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <comment>time of day, then AM or PM</comment>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <comment>time of day, then the date</comment>
        <translation>%1, %2</translation>
    </message>
    <message numerus="yes">
        <source>%n hour(s)</source>
        <translation>
            <numerusform>%n Stunde</numerusform>
            <numerusform>%n Stunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minute(s)</source>
        <translation>
            <numerusform>%n Minute</numerusform>
            <numerusform>%n Minuten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n second(s)</source>
        <translation>
            <numerusform>%n Sekunde</numerusform>
            <numerusform>%n Sekunden</numerusform>
        </translation>
    </message>
    <message>
        <source>Countdown, %1 left</source>
        <translation>Countdown, noch %1</translation>
    </message>
</context>
<context>
    <name>CloseButton</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>orvanta: unknown argument &apos;%1&apos;; try &apos;orvanta --help&apos;
</source>
        <translation>orvanta: unbekanntes Argument „%1“; siehe „orvanta --help“
</translation>
    </message>
    <message>
        <source>Orvanta %1
Copyright (C) 2026 The Orvanta developers
License GPL-3.0-or-later: GNU GPL version 3 or later &lt;https://gnu.org/licenses/gpl.html&gt;.
This is free software: you are free to change and redistribute it.
There is NO WARRANTY, to the extent permitted by law.
</source>
        <translation>Orvanta %1
Copyright (C) 2026 Die Orvanta-Entwickler
Lizenz GPL-3.0-or-later: GNU GPL Version 3 oder neuer &lt;https://gnu.org/licenses/gpl.html&gt;.
Dies ist freie Software: Sie dürfen sie ändern und weitergeben.
Es gibt KEINE GARANTIE, soweit gesetzlich zulässig.
</translation>
    </message>
    <message>
        <source>orvanta: &apos;%1&apos; and &apos;%2&apos; cannot be given together; try &apos;orvanta --help&apos;
</source>
        <translation>orvanta: „%1“ und „%2“ können nicht zusammen angegeben werden; siehe „orvanta --help“
</translation>
    </message>
    <message>
        <source>orvanta: --countdown needs a duration, such as 25, 4:30 or 1:00:00
</source>
        <translation>orvanta: --countdown braucht eine Dauer, etwa 25, 4:30 oder 1:00:00
</translation>
    </message>
    <message>
        <source>orvanta: --countdown &apos;%1&apos; is not a duration; give minutes, m:ss or h:mm:ss, such as 25, 4:30 or 1:00:00
</source>
        <translation>orvanta: --countdown „%1“ ist keine Dauer; Minuten, m:ss oder h:mm:ss angeben, etwa 25, 4:30 oder 1:00:00
</translation>
    </message>
    <message>
        <source>Usage: orvanta [--toggle | --countdown DURATION | --pause | --cancel]
       orvanta --help | --version

Keeps a clock, a countdown and a short notes list on one floating card on the
desktop, with a tray icon and a preferences window. Started again, it shows the
card of the copy that runs and gives it the keyboard; with an option, it asks
that copy to do what the option says. When no copy runs, it starts with that done.

      --toggle              hide the card, or show it
      --countdown DURATION  start a countdown of minutes, m:ss or h:mm:ss, such as
                            25, 4:30 or 1:00:00 (at most 24 hours)
      --pause               pause the countdown, or resume it when paused
      --cancel              end the countdown
  -h, --help                show this text and exit
      --version             show the version and exit

Settings and notes are kept in $XDG_CONFIG_HOME/orvanta/ (~/.config/orvanta/).
The manual page orvanta(1) says more.
</source>
        <translation>Aufruf: orvanta [--toggle | --countdown DAUER | --pause | --cancel]
        orvanta --help | --version

Zeigt eine Uhr, einen Countdown und eine kurze Notizliste auf einer schwebenden
Karte auf dem Schreibtisch, mit einem Symbol im Systembereich und einem
Einstellungsfenster. Erneut gestartet, zeigt es die Karte des laufenden Exemplars
und gibt ihr die Tastatur; mit einer Option bittet es dieses Exemplar um das, was
die Option sagt. Läuft keines, startet es und tut es selbst.

      --toggle           die Karte verbergen oder zeigen
      --countdown DAUER  einen Countdown starten: Minuten, m:ss oder h:mm:ss, etwa
                         25, 4:30 oder 1:00:00 (höchstens 24 Stunden)
      --pause            den Countdown anhalten oder, wenn angehalten, fortsetzen
      --cancel           den Countdown beenden
  -h, --help             diesen Text anzeigen und beenden
      --version          die Version anzeigen und beenden

Einstellungen und Notizen liegen in $XDG_CONFIG_HOME/orvanta/ (~/.config/orvanta/).
Mehr steht in der Handbuchseite orvanta(1).
</translation>
    </message>
</context>
<context>
    <name>DesktopNotifications</name>
    <message>
        <source>there is no session bus</source>
        <translation>es gibt keinen Sitzungsbus</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Zeigen</translation>
    </message>
    <message>
        <source>Orvanta cannot show desktop notifications (%1); it says so only once.</source>
        <translation>Orvanta kann keine Desktop-Benachrichtigungen zeigen (%1); dies wird nur einmal gesagt.</translation>
    </message>
</context>
<context>
    <name>GripRow</name>
    <message>
        <source>Show drawer</source>
        <translation>Schublade öffnen</translation>
    </message>
    <message>
        <source>Hide drawer</source>
        <translation>Schublade schließen</translation>
    </message>
</context>
<context>
    <name>I3IpcClient</name>
    <message>
        <source>the answer is not an i3 IPC message</source>
        <translation>die Antwort ist keine i3-IPC-Nachricht</translation>
    </message>
    <message>
        <source>the answer is of type %1, not %2</source>
        <translation>die Antwort ist vom Typ %1, nicht %2</translation>
    </message>
    <message>
        <source>the answer of %L1 bytes is larger than %L2</source>
        <translation>die Antwort mit %L1 Bytes ist größer als %L2</translation>
    </message>
    <message>
        <source>the socket path %1 is empty or too long</source>
        <translation>der Socket-Pfad %1 ist leer oder zu lang</translation>
    </message>
    <message>
        <source>no socket: %1</source>
        <translation>kein Socket: %1</translation>
    </message>
    <message>
        <source>cannot connect to %1: %2</source>
        <translation>keine Verbindung zu %1: %2</translation>
    </message>
    <message>
        <source>cannot send to %1: %2</source>
        <translation>Senden an %1 nicht möglich: %2</translation>
    </message>
    <message>
        <source>%1 took more than %L2 ms to answer</source>
        <translation>%1 hat nicht innerhalb von %L2 ms geantwortet</translation>
    </message>
    <message>
        <source>%1 ended the answer after %L2 bytes</source>
        <translation>%1 hat die Antwort nach %L2 Bytes beendet</translation>
    </message>
    <message>
        <source>cannot read from %1: %2</source>
        <translation>Lesen von %1 nicht möglich: %2</translation>
    </message>
    <message>
        <source>the answer is not JSON: %1</source>
        <translation>die Antwort ist kein JSON: %1</translation>
    </message>
</context>
<context>
    <name>I3Placement</name>
    <message>
        <source>no focused workspace with a usable area</source>
        <translation>keine aktive Arbeitsfläche mit nutzbarem Bereich</translation>
    </message>
    <message>
        <source>Orvanta cannot place its windows through the compositor&apos;s IPC socket: %1</source>
        <translation>Orvanta kann seine Fenster nicht über den IPC-Socket des Compositors platzieren: %1</translation>
    </message>
</context>
<context>
    <name>I3Replies</name>
    <message>
        <source>the answer to a command is not a list of results</source>
        <translation>die Antwort auf einen Befehl ist keine Liste von Ergebnissen</translation>
    </message>
    <message>
        <source>a command failed without a reason</source>
        <translation>ein Befehl ist ohne Angabe von Gründen fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>MissingDisplay</name>
    <message>
        <source>no display to open: neither DISPLAY nor WAYLAND_DISPLAY is set</source>
        <translation>kein Display zum Öffnen: weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt</translation>
    </message>
    <message>
        <source>no display to open: QT_QPA_PLATFORM is xcb and DISPLAY is not set</source>
        <translation>kein Display zum Öffnen: QT_QPA_PLATFORM ist xcb, und DISPLAY ist nicht gesetzt</translation>
    </message>
</context>
<context>
    <name>NoteRow</name>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Delete note: %1</source>
        <translation>Notiz löschen: %1</translation>
    </message>
</context>
<context>
    <name>NotesPane</name>
    <message>
        <source>Add a note…</source>
        <translation>Notiz hinzufügen …</translation>
    </message>
    <message>
        <source>New note</source>
        <translation>Neue Notiz</translation>
    </message>
    <message>
        <source>Too long for a note: %L1 characters at most</source>
        <translation>Zu lang für eine Notiz: höchstens %L1 Zeichen</translation>
    </message>
</context>
<context>
    <name>NotesScroller</name>
    <message>
        <source>Scroll notes</source>
        <translation>Notizen blättern</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <source>Orvanta Preferences</source>
        <translation>Orvanta-Einstellungen</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>Erscheinungsbild</translation>
    </message>
    <message>
        <source>24-hour clock</source>
        <translation>24-Stunden-Uhr</translation>
    </message>
    <message>
        <source>Show seconds</source>
        <translation>Sekunden anzeigen</translation>
    </message>
    <message>
        <source>Show date</source>
        <translation>Datum anzeigen</translation>
    </message>
    <message>
        <source>Start with drawer open</source>
        <translation>Mit offener Schublade starten</translation>
    </message>
    <message>
        <source>Clock</source>
        <translation>Uhr</translation>
    </message>
    <message>
        <source>Timer sound</source>
        <translation>Timer-Ton</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Timer colour</source>
        <translation>Timer-Farbe</translation>
    </message>
    <message>
        <source>Notify when a countdown ends</source>
        <translation>Bei Countdown-Ende benachrichtigen</translation>
    </message>
    <message>
        <source>Stay on top</source>
        <translation>Immer im Vordergrund</translation>
    </message>
    <message>
        <source>Remember position</source>
        <translation>Position merken</translation>
    </message>
    <message>
        <source>Countdown and card</source>
        <translation>Countdown und Karte</translation>
    </message>
    <message>
        <source>Scroll preferences</source>
        <translation>Einstellungen blättern</translation>
    </message>
    <message>
        <source>High contrast</source>
        <translation>Hoher Kontrast</translation>
    </message>
</context>
<context>
    <name>ResizeEdge</name>
    <message>
        <source>Card width</source>
        <translation>Kartenbreite</translation>
    </message>
    <message>
        <source>Drag with the pointer to widen or narrow the card</source>
        <translation>Mit dem Zeiger ziehen, um die Karte breiter oder schmaler zu machen</translation>
    </message>
</context>
<context>
    <name>SafeFile</name>
    <message>
        <source>Cannot create the folder %1: %2</source>
        <translation>Der Ordner %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>it is not a regular file, and it is left as it is</source>
        <translation>es ist keine gewöhnliche Datei und bleibt, wie es ist</translation>
    </message>
    <message>
        <source>it is a link to %1, which is not a regular file, and it is left as it is</source>
        <translation>es ist eine Verknüpfung auf %1, das keine gewöhnliche Datei ist, und bleibt, wie es ist</translation>
    </message>
</context>
<context>
    <name>SetAsideLine</name>
    <message>
        <source>Dismiss</source>
        <translation>Ausblenden</translation>
    </message>
    <message>
        <source>Orvanta could not read its saved data and kept it as %1.</source>
        <translation>Orvanta konnte seine gespeicherten Daten nicht lesen und hat sie als %1 aufbewahrt.</translation>
    </message>
    <message>
        <source>Unreadable file kept as</source>
        <extracomment>The first of two lines; the backup&apos;s file name follows on the second.</extracomment>
        <translation>Unlesbare Datei gesichert als</translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>Cannot move the unreadable %1 aside: %2</source>
        <translation>Die unlesbare Datei %1 kann nicht beiseitegelegt werden: %2</translation>
    </message>
    <message>
        <source>Orvanta keeps settings and notes in memory only until saving works again: %1</source>
        <translation>Orvanta behält Einstellungen und Notizen nur im Speicher, bis das Speichern wieder gelingt: %1</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>not a folder</source>
        <translation>kein Ordner</translation>
    </message>
    <message>
        <source>owned by user %1</source>
        <translation>gehört Benutzer %1</translation>
    </message>
    <message>
        <source>mode %1, not 0700</source>
        <translation>Modus %1, nicht 0700</translation>
    </message>
    <message>
        <source>a symbolic link</source>
        <translation>eine symbolische Verknüpfung</translation>
    </message>
    <message>
        <source>XDG_RUNTIME_DIR is not set</source>
        <translation>XDG_RUNTIME_DIR ist nicht gesetzt</translation>
    </message>
    <message>
        <source>XDG_RUNTIME_DIR is not an absolute path</source>
        <translation>XDG_RUNTIME_DIR ist kein absoluter Pfad</translation>
    </message>
    <message>
        <source>Orvanta will not start: it found no private folder for its lock, so it cannot make sure that it is the only copy writing your settings (%1).</source>
        <translation>Orvanta startet nicht: Es hat keinen privaten Ordner für seine Sperre gefunden und kann daher nicht sicherstellen, dass es als einziges Exemplar Ihre Einstellungen schreibt (%1).</translation>
    </message>
    <message>
        <source>Orvanta will not start: another launch has held %1 for %2 seconds.</source>
        <translation>Orvanta startet nicht: Ein anderer Start hält %1 seit %2 Sekunden.</translation>
    </message>
    <message>
        <source>Orvanta will not start: it cannot lock %1 (%2).</source>
        <translation>Orvanta startet nicht: Es kann %1 nicht sperren (%2).</translation>
    </message>
    <message>
        <source>Orvanta will not start: it cannot set the mode of %1 (%2).</source>
        <translation>Orvanta startet nicht: Es kann den Modus von %1 nicht setzen (%2).</translation>
    </message>
    <message>
        <source>not a plain file of this user&apos;s</source>
        <translation>keine gewöhnliche Datei dieses Benutzers</translation>
    </message>
    <message>
        <source>Orvanta will not start: it cannot make the lock file %1 (%2).</source>
        <translation>Orvanta startet nicht: Es kann die Sperrdatei %1 nicht anlegen (%2).</translation>
    </message>
    <message>
        <source>Orvanta will not start: %1 is not a lock file it can use (%2), and it cannot remove it (%3).</source>
        <translation>Orvanta startet nicht: %1 ist keine Sperrdatei, die es verwenden kann (%2), und es kann sie nicht entfernen (%3).</translation>
    </message>
    <message>
        <source>Orvanta runs, but later launches cannot ask it to show its card: %1 (%2).</source>
        <translation>Orvanta läuft, aber spätere Starts können es nicht bitten, seine Karte zu zeigen: %1 (%2).</translation>
    </message>
    <message>
        <source>its pipe %1 is missing</source>
        <translation>seine Pipe %1 fehlt</translation>
    </message>
    <message>
        <source>nobody reads its pipe %1</source>
        <translation>niemand liest seine Pipe %1</translation>
    </message>
    <message>
        <source>%1 is a symbolic link, not its pipe</source>
        <translation>%1 ist eine symbolische Verknüpfung, nicht seine Pipe</translation>
    </message>
    <message>
        <source>its pipe %1 cannot be opened (%2)</source>
        <translation>seine Pipe %1 lässt sich nicht öffnen (%2)</translation>
    </message>
    <message>
        <source>%1 is not its pipe</source>
        <translation>%1 ist nicht seine Pipe</translation>
    </message>
    <message>
        <source>it does not read its pipe %1</source>
        <translation>es liest seine Pipe %1 nicht</translation>
    </message>
    <message>
        <source>Orvanta will not start: another copy already writes the settings in %1 from another session, and this launch cannot reach it.</source>
        <translation>Orvanta startet nicht: Eine andere Kopie schreibt bereits die Einstellungen in %1 aus einer anderen Sitzung, und dieser Start kann sie nicht erreichen.</translation>
    </message>
    <message>
        <source>Orvanta will not start: another copy (%1) already writes the settings in %2 from another session, and this launch cannot reach it.</source>
        <translation>Orvanta startet nicht: Eine andere Kopie (%1) schreibt bereits die Einstellungen in %2 aus einer anderen Sitzung, und dieser Start kann sie nicht erreichen.</translation>
    </message>
    <message>
        <source>Orvanta cannot note its process in %1 (%2).</source>
        <translation>Orvanta kann seinen Prozess nicht in %1 vermerken (%2).</translation>
    </message>
    <message>
        <source>process %1</source>
        <translation>Prozess %1</translation>
    </message>
    <message>
        <source>on %1</source>
        <translation>auf %1</translation>
    </message>
    <message>
        <source>lock folder %1</source>
        <translation>Sperrordner %1</translation>
    </message>
    <message>
        <source>Orvanta ignores what it cannot read as a request in its pipe %1; this is said only once.</source>
        <translation>Orvanta übergeht, was es in seiner Pipe %1 nicht als Anfrage lesen kann; dies wird nur einmal gesagt.</translation>
    </message>
    <message>
        <source>Orvanta is already running, but this launch cannot reach it: %1.</source>
        <translation>Orvanta läuft bereits, aber dieser Start erreicht es nicht: %1.</translation>
    </message>
</context>
<context>
    <name>StartupFailure</name>
    <message>
        <source>Orvanta did not start</source>
        <translation>Orvanta ist nicht gestartet</translation>
    </message>
</context>
<context>
    <name>Swatch</name>
    <message>
        <source>Black</source>
        <translation>Schwarz</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Weiß</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Glass</source>
        <translation>Glas</translation>
    </message>
</context>
<context>
    <name>TimerPane</name>
    <message>
        <source>Start</source>
        <translation>Starten</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Countdown duration</source>
        <translation>Countdown-Dauer</translation>
    </message>
    <message>
        <source>Minutes, m:ss or h:mm:ss; Return starts the countdown</source>
        <translation>Minuten, m:ss oder h:mm:ss; die Eingabetaste startet den Countdown</translation>
    </message>
</context>
<context>
    <name>WidgetView</name>
    <message>
        <source>Notes can&apos;t be saved</source>
        <translation>Notizen nicht speicherbar</translation>
    </message>
</context>
</TS>
