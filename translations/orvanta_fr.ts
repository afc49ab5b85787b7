<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>Application</name>
    <message>
        <source>Show / Hide Widget</source>
        <translation>Afficher / masquer le widget</translation>
    </message>
    <message>
        <source>Preferences…</source>
        <translation>Préférences…</translation>
    </message>
    <message>
        <source>Quit Orvanta</source>
        <translation>Quitter Orvanta</translation>
    </message>
    <message>
        <source>Hide Widget</source>
        <translation>Masquer le widget</translation>
    </message>
    <message>
        <source>Orvanta: %1 left</source>
        <translation>Orvanta&#xa0;: il reste %1</translation>
    </message>
    <message>
        <source>Countdown ended</source>
        <translation>Compte à rebours terminé</translation>
    </message>
    <message>
        <source>The countdown of %1 has ended.</source>
        <translation>Le compte à rebours de %1 est terminé.</translation>
    </message>
</context>
<context>
    <name>ClockFace</name>
    <message>
        <source>Cancel countdown</source>
        <translation>Annuler le compte à rebours</translation>
    </message>
    <message>
        <source>Pause countdown</source>
        <translation>Mettre le compte à rebours en pause</translation>
    </message>
    <message>
        <source>Resume countdown</source>
        <translation>Reprendre le compte à rebours</translation>
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
            <numerusform>%n heure</numerusform>
            <numerusform>%n heures</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minute(s)</source>
        <translation>
            <numerusform>%n minute</numerusform>
            <numerusform>%n minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n second(s)</source>
        <translation>
            <numerusform>%n seconde</numerusform>
            <numerusform>%n secondes</numerusform>
        </translation>
    </message>
    <message>
        <source>Countdown, %1 left</source>
        <translation>Compte à rebours, il reste %1</translation>
    </message>
</context>
<context>
    <name>CloseButton</name>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>orvanta: unknown argument &apos;%1&apos;; try &apos;orvanta --help&apos;
</source>
        <translation>orvanta&#xa0;: argument inconnu «&#xa0;%1&#xa0;»&#x202f;; essayez «&#xa0;orvanta --help&#xa0;»
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
Copyright (C) 2026 Les développeurs d’Orvanta
Licence GPL-3.0-or-later&#xa0;: GNU GPL version 3 ou ultérieure &lt;https://gnu.org/licenses/gpl.html&gt;.
Ceci est un logiciel libre&#xa0;: vous êtes libre de le modifier et de le redistribuer.
Il n’y a AUCUNE GARANTIE, dans les limites permises par la loi.
</translation>
    </message>
    <message>
        <source>orvanta: &apos;%1&apos; and &apos;%2&apos; cannot be given together; try &apos;orvanta --help&apos;
</source>
        <translation>orvanta&#xa0;: «&#xa0;%1&#xa0;» et «&#xa0;%2&#xa0;» ne peuvent pas être donnés ensemble&#x202f;; essayez «&#xa0;orvanta --help&#xa0;»
</translation>
    </message>
    <message>
        <source>orvanta: --countdown needs a duration, such as 25, 4:30 or 1:00:00
</source>
        <translation>orvanta&#xa0;: --countdown demande une durée, par exemple 25, 4:30 ou 1:00:00
</translation>
    </message>
    <message>
        <source>orvanta: --countdown &apos;%1&apos; is not a duration; give minutes, m:ss or h:mm:ss, such as 25, 4:30 or 1:00:00
</source>
        <translation>orvanta&#xa0;: --countdown «&#xa0;%1&#xa0;» n’est pas une durée&#x202f;; donnez des minutes, m:ss ou h:mm:ss, par exemple 25, 4:30 ou 1:00:00
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
        <translation>Utilisation&#xa0;: orvanta [--toggle | --countdown DURÉE | --pause | --cancel]
              orvanta --help | --version

Garde une horloge, un compte à rebours et une courte liste de notes sur une
carte flottante du bureau, avec une icône dans la zone de notification et une
fenêtre de préférences. Relancé, il affiche la carte de l’exemplaire en cours et
lui donne le clavier&#x202f;; avec une option, il demande à cet exemplaire de faire ce
qu’elle dit. Si aucun ne tourne, il démarre et le fait lui-même.

      --toggle           masquer la carte, ou l’afficher
      --countdown DURÉE  lancer un compte à rebours en minutes, m:ss ou h:mm:ss,
                         par exemple 25, 4:30 ou 1:00:00 (24 heures au plus)
      --pause            mettre le compte à rebours en pause, ou le reprendre
      --cancel           arrêter le compte à rebours
  -h, --help             afficher ce texte et quitter
      --version          afficher la version et quitter

Les réglages et les notes sont conservés dans $XDG_CONFIG_HOME/orvanta/ (~/.config/orvanta/).
La page de manuel orvanta(1) en dit plus.
</translation>
    </message>
</context>
<context>
    <name>DesktopNotifications</name>
    <message>
        <source>there is no session bus</source>
        <translation>il n’y a pas de bus de session</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Afficher</translation>
    </message>
    <message>
        <source>Orvanta cannot show desktop notifications (%1); it says so only once.</source>
        <translation>Orvanta ne peut pas afficher de notifications du bureau (%1)&#x202f;; il ne le dit qu’une fois.</translation>
    </message>
</context>
<context>
    <name>GripRow</name>
    <message>
        <source>Show drawer</source>
        <translation>Ouvrir le tiroir</translation>
    </message>
    <message>
        <source>Hide drawer</source>
        <translation>Fermer le tiroir</translation>
    </message>
</context>
<context>
    <name>I3IpcClient</name>
    <message>
        <source>the answer is not an i3 IPC message</source>
        <translation>la réponse n’est pas un message IPC i3</translation>
    </message>
    <message>
        <source>the answer is of type %1, not %2</source>
        <translation>la réponse est de type %1, et non %2</translation>
    </message>
    <message>
        <source>the answer of %L1 bytes is larger than %L2</source>
        <translation>la réponse de %L1 octets dépasse %L2</translation>
    </message>
    <message>
        <source>the socket path %1 is empty or too long</source>
        <translation>le chemin du socket %1 est vide ou trop long</translation>
    </message>
    <message>
        <source>no socket: %1</source>
        <translation>pas de socket&#xa0;: %1</translation>
    </message>
    <message>
        <source>cannot connect to %1: %2</source>
        <translation>connexion à %1 impossible&#xa0;: %2</translation>
    </message>
    <message>
        <source>cannot send to %1: %2</source>
        <translation>envoi à %1 impossible&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1 took more than %L2 ms to answer</source>
        <translation>%1 n’a pas répondu en %L2 ms</translation>
    </message>
    <message>
        <source>%1 ended the answer after %L2 bytes</source>
        <translation>%1 a terminé la réponse après %L2 octets</translation>
    </message>
    <message>
        <source>cannot read from %1: %2</source>
        <translation>lecture depuis %1 impossible&#xa0;: %2</translation>
    </message>
    <message>
        <source>the answer is not JSON: %1</source>
        <translation>la réponse n’est pas du JSON&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>I3Placement</name>
    <message>
        <source>no focused workspace with a usable area</source>
        <translation>aucun espace de travail actif avec une zone utilisable</translation>
    </message>
    <message>
        <source>Orvanta cannot place its windows through the compositor&apos;s IPC socket: %1</source>
        <translation>Orvanta ne peut pas placer ses fenêtres par le socket IPC du compositeur&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>I3Replies</name>
    <message>
        <source>the answer to a command is not a list of results</source>
        <translation>la réponse à une commande n’est pas une liste de résultats</translation>
    </message>
    <message>
        <source>a command failed without a reason</source>
        <translation>une commande a échoué sans raison donnée</translation>
    </message>
</context>
<context>
    <name>MissingDisplay</name>
    <message>
        <source>no display to open: neither DISPLAY nor WAYLAND_DISPLAY is set</source>
        <translation>aucun écran à ouvrir&#xa0;: ni DISPLAY ni WAYLAND_DISPLAY n’est défini</translation>
    </message>
    <message>
        <source>no display to open: QT_QPA_PLATFORM is xcb and DISPLAY is not set</source>
        <translation>aucun écran à ouvrir&#xa0;: QT_QPA_PLATFORM vaut xcb et DISPLAY n’est pas défini</translation>
    </message>
</context>
<context>
    <name>NoteRow</name>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Delete note: %1</source>
        <translation>Supprimer la note&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>NotesPane</name>
    <message>
        <source>Add a note…</source>
        <translation>Ajouter une note…</translation>
    </message>
    <message>
        <source>New note</source>
        <translation>Nouvelle note</translation>
    </message>
    <message>
        <source>Too long for a note: %L1 characters at most</source>
        <translation>Trop long pour une note&#xa0;: %L1 caractères au plus</translation>
    </message>
</context>
<context>
    <name>NotesScroller</name>
    <message>
        <source>Scroll notes</source>
        <translation>Faire défiler les notes</translation>
    </message>
</context>
<context>
    <name>PreferencesWindow</name>
    <message>
        <source>Orvanta Preferences</source>
        <translation>Préférences d’Orvanta</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>Apparence</translation>
    </message>
    <message>
        <source>24-hour clock</source>
        <translation>Format 24 heures</translation>
    </message>
    <message>
        <source>Show seconds</source>
        <translation>Afficher les secondes</translation>
    </message>
    <message>
        <source>Show date</source>
        <translation>Afficher la date</translation>
    </message>
    <message>
        <source>Start with drawer open</source>
        <translation>Démarrer avec le tiroir ouvert</translation>
    </message>
    <message>
        <source>Clock</source>
        <translation>Horloge</translation>
    </message>
    <message>
        <source>Timer sound</source>
        <translation>Son du minuteur</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Lancer à l’ouverture de session</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Général</translation>
    </message>
    <message>
        <source>Timer colour</source>
        <translation>Couleur du minuteur</translation>
    </message>
    <message>
        <source>Notify when a countdown ends</source>
        <translation>Notifier la fin d’un compte à rebours</translation>
    </message>
    <message>
        <source>Stay on top</source>
        <translation>Toujours au premier plan</translation>
    </message>
    <message>
        <source>Remember position</source>
        <translation>Mémoriser la position</translation>
    </message>
    <message>
        <source>Countdown and card</source>
        <translation>Compte à rebours et carte</translation>
    </message>
    <message>
        <source>Scroll preferences</source>
        <translation>Faire défiler les préférences</translation>
    </message>
    <message>
        <source>High contrast</source>
        <translation>Contraste élevé</translation>
    </message>
</context>
<context>
    <name>ResizeEdge</name>
    <message>
        <source>Card width</source>
        <translation>Largeur de la carte</translation>
    </message>
    <message>
        <source>Drag with the pointer to widen or narrow the card</source>
        <translation>Faire glisser avec le pointeur pour élargir ou rétrécir la carte</translation>
    </message>
</context>
<context>
    <name>SafeFile</name>
    <message>
        <source>Cannot create the folder %1: %2</source>
        <translation>Impossible de créer le dossier %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Impossible d’écrire %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>it is not a regular file, and it is left as it is</source>
        <translation>ce n’est pas un fichier ordinaire, et il est laissé tel quel</translation>
    </message>
    <message>
        <source>it is a link to %1, which is not a regular file, and it is left as it is</source>
        <translation>c’est un lien vers %1, qui n’est pas un fichier ordinaire, et il est laissé tel quel</translation>
    </message>
</context>
<context>
    <name>SetAsideLine</name>
    <message>
        <source>Dismiss</source>
        <translation>Masquer</translation>
    </message>
    <message>
        <source>Orvanta could not read its saved data and kept it as %1.</source>
        <translation>Orvanta n’a pas pu lire ses données enregistrées et les a conservées sous %1.</translation>
    </message>
    <message>
        <source>Unreadable file kept as</source>
        <extracomment>The first of two lines; the backup&apos;s file name follows on the second.</extracomment>
        <translation>Fichier illisible conservé sous</translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>Cannot move the unreadable %1 aside: %2</source>
        <translation>Impossible de mettre de côté le fichier illisible %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Orvanta keeps settings and notes in memory only until saving works again: %1</source>
        <translation>Orvanta garde les réglages et les notes en mémoire seulement, jusqu’à ce que l’enregistrement fonctionne de nouveau&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>not a folder</source>
        <translation>pas un dossier</translation>
    </message>
    <message>
        <source>owned by user %1</source>
        <translation>appartient à l’utilisateur %1</translation>
    </message>
    <message>
        <source>mode %1, not 0700</source>
        <translation>mode %1, et non 0700</translation>
    </message>
    <message>
        <source>a symbolic link</source>
        <translation>un lien symbolique</translation>
    </message>
    <message>
        <source>XDG_RUNTIME_DIR is not set</source>
        <translation>XDG_RUNTIME_DIR n’est pas défini</translation>
    </message>
    <message>
        <source>XDG_RUNTIME_DIR is not an absolute path</source>
        <translation>XDG_RUNTIME_DIR n’est pas un chemin absolu</translation>
    </message>
    <message>
        <source>Orvanta will not start: it found no private folder for its lock, so it cannot make sure that it is the only copy writing your settings (%1).</source>
        <translation>Orvanta ne démarre pas&#xa0;: il n’a trouvé aucun dossier privé pour son verrou et ne peut donc pas s’assurer d’être le seul exemplaire à écrire vos réglages (%1).</translation>
    </message>
    <message>
        <source>Orvanta will not start: another launch has held %1 for %2 seconds.</source>
        <translation>Orvanta ne démarre pas&#xa0;: un autre lancement tient %1 depuis %2&#xa0;secondes.</translation>
    </message>
    <message>
        <source>Orvanta will not start: it cannot lock %1 (%2).</source>
        <translation>Orvanta ne démarre pas&#xa0;: il ne peut pas verrouiller %1 (%2).</translation>
    </message>
    <message>
        <source>Orvanta will not start: it cannot set the mode of %1 (%2).</source>
        <translation>Orvanta ne démarre pas&#xa0;: il ne peut pas régler le mode de %1 (%2).</translation>
    </message>
    <message>
        <source>not a plain file of this user&apos;s</source>
        <translation>pas un fichier ordinaire de cet utilisateur</translation>
    </message>
    <message>
        <source>Orvanta will not start: it cannot make the lock file %1 (%2).</source>
        <translation>Orvanta ne démarre pas&#xa0;: il ne peut pas créer le fichier de verrou %1 (%2).</translation>
    </message>
    <message>
        <source>Orvanta will not start: %1 is not a lock file it can use (%2), and it cannot remove it (%3).</source>
        <translation>Orvanta ne démarre pas&#xa0;: %1 n’est pas un fichier de verrou utilisable (%2), et il ne peut pas le supprimer (%3).</translation>
    </message>
    <message>
        <source>Orvanta runs, but later launches cannot ask it to show its card: %1 (%2).</source>
        <translation>Orvanta fonctionne, mais les lancements suivants ne pourront pas lui demander d’afficher sa carte&#xa0;: %1 (%2).</translation>
    </message>
    <message>
        <source>its pipe %1 is missing</source>
        <translation>son tube %1 est absent</translation>
    </message>
    <message>
        <source>nobody reads its pipe %1</source>
        <translation>personne ne lit son tube %1</translation>
    </message>
    <message>
        <source>%1 is a symbolic link, not its pipe</source>
        <translation>%1 est un lien symbolique, pas son tube</translation>
    </message>
    <message>
        <source>its pipe %1 cannot be opened (%2)</source>
        <translation>son tube %1 ne peut pas être ouvert (%2)</translation>
    </message>
    <message>
        <source>%1 is not its pipe</source>
        <translation>%1 n’est pas son tube</translation>
    </message>
    <message>
        <source>it does not read its pipe %1</source>
        <translation>il ne lit pas son tube %1</translation>
    </message>
    <message>
        <source>Orvanta will not start: another copy already writes the settings in %1 from another session, and this launch cannot reach it.</source>
        <translation>Orvanta ne démarre pas&#xa0;: une autre copie écrit déjà les réglages dans %1 depuis une autre session, et ce lancement ne peut pas la joindre.</translation>
    </message>
    <message>
        <source>Orvanta will not start: another copy (%1) already writes the settings in %2 from another session, and this launch cannot reach it.</source>
        <translation>Orvanta ne démarre pas&#xa0;: une autre copie (%1) écrit déjà les réglages dans %2 depuis une autre session, et ce lancement ne peut pas la joindre.</translation>
    </message>
    <message>
        <source>Orvanta cannot note its process in %1 (%2).</source>
        <translation>Orvanta ne peut pas noter son processus dans %1 (%2).</translation>
    </message>
    <message>
        <source>process %1</source>
        <translation>processus %1</translation>
    </message>
    <message>
        <source>on %1</source>
        <translation>sur %1</translation>
    </message>
    <message>
        <source>lock folder %1</source>
        <translation>dossier de verrou %1</translation>
    </message>
    <message>
        <source>Orvanta ignores what it cannot read as a request in its pipe %1; this is said only once.</source>
        <translation>Orvanta ignore ce qu’il ne peut pas lire comme une demande dans son tube %1&#x202f;; il ne le dit qu’une fois.</translation>
    </message>
    <message>
        <source>Orvanta is already running, but this launch cannot reach it: %1.</source>
        <translation>Orvanta est déjà lancé, mais ce lancement ne peut pas le joindre&#xa0;: %1.</translation>
    </message>
</context>
<context>
    <name>StartupFailure</name>
    <message>
        <source>Orvanta did not start</source>
        <translation>Orvanta n’a pas démarré</translation>
    </message>
</context>
<context>
    <name>Swatch</name>
    <message>
        <source>Black</source>
        <translation>Noir</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Blanc</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Bleu</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rouge</translation>
    </message>
    <message>
        <source>Glass</source>
        <translation>Verre</translation>
    </message>
</context>
<context>
    <name>TimerPane</name>
    <message>
        <source>Start</source>
        <translation>Démarrer</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Countdown duration</source>
        <translation>Durée du compte à rebours</translation>
    </message>
    <message>
        <source>Minutes, m:ss or h:mm:ss; Return starts the countdown</source>
        <translation>Minutes, m:ss ou h:mm:ss&#x202f;; Entrée lance le compte à rebours</translation>
    </message>
</context>
<context>
    <name>WidgetView</name>
    <message>
        <source>Notes can&apos;t be saved</source>
        <translation>Notes non enregistrables</translation>
    </message>
</context>
</TS>
