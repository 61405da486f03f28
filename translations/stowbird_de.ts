<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>ActionCanceller</name>
    <message>
        <source>Cancelling %1…</source>
        <translation>%1 wird abgebrochen…</translation>
    </message>
    <message>
        <source>Too late to cancel: %1 is copied whole, and the original is being removed</source>
        <translation>Zu spät zum Abbrechen: %1 ist vollständig kopiert, und das Original wird gerade entfernt</translation>
    </message>
    <message>
        <source>Nothing to cancel</source>
        <translation>Nichts abzubrechen</translation>
    </message>
    <message>
        <source>Gave up waiting: %1 is not responding. %2 of %3 moved; %4</source>
        <translation>Warten aufgegeben: Keine Antwort beim %1. %2 von %3 verschoben; %4</translation>
    </message>
    <message>
        <source>Cancelled moving %1 to %2: the folder is not responding. %1 is back in the queue; the partial copy is removed if the folder answers again</source>
        <translation>Verschieben von %1 nach %2 abgebrochen: Der Ordner reagiert nicht. %1 ist wieder in der Warteschlange; die unvollständige Kopie wird entfernt, sobald der Ordner wieder antwortet</translation>
    </message>
    <message>
        <source>Gave up waiting: %1 is not responding</source>
        <translation>Warten aufgegeben: Keine Antwort beim %1</translation>
    </message>
</context>
<context>
    <name>ActionJob</name>
    <message>
        <source>the move of %1 to %2</source>
        <translation>Das Verschieben von %1 nach %2</translation>
    </message>
    <message>
        <source>the move of %1 to the Trash</source>
        <translation>Das Verschieben von %1 in den Papierkorb</translation>
    </message>
    <message>
        <source>the rename of %1</source>
        <translation>Das Umbenennen von %1</translation>
    </message>
    <message>
        <source>the running action</source>
        <translation>Die laufende Aktion</translation>
    </message>
    <message>
        <source>Moving %1 to %2</source>
        <translation>Verschieben von %1 nach %2</translation>
    </message>
    <message>
        <source>Moving %1 to the Trash</source>
        <translation>Verschieben von %1 in den Papierkorb</translation>
    </message>
    <message>
        <source>Renaming %1</source>
        <translation>Umbenennen von %1</translation>
    </message>
    <message>
        <source>Undoing the last action</source>
        <translation>Rückgängigmachen der letzten Aktion</translation>
    </message>
    <message>
        <source>Removing partial copies left by an interrupted move</source>
        <translation>Entfernen unvollständiger Kopien eines unterbrochenen Verschiebens</translation>
    </message>
    <message>
        <source>Move %1 to %2</source>
        <translation>%1 nach %2 verschieben</translation>
    </message>
    <message>
        <source>Move %1 to the Trash</source>
        <translation>%1 in den Papierkorb verschieben</translation>
    </message>
    <message>
        <source>Rename %1</source>
        <translation>%1 umbenennen</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig machen</translation>
    </message>
    <message>
        <source>the Trash</source>
        <translation>den Papierkorb</translation>
    </message>
    <message>
        <source>Cancelled moving %1 to %2; they are back in the queue</source>
        <translation>Verschieben von %1 in %2 abgebrochen; sie sind wieder in der Warteschlange</translation>
    </message>
    <message>
        <source>Cancelled moving %1 to %2; it is back in the queue</source>
        <translation>Verschieben von %1 nach %2 abgebrochen; das Objekt ist wieder in der Warteschlange</translation>
    </message>
    <message>
        <source>Cancelled moving %1 to the Trash; it is back in the queue</source>
        <translation>Verschieben von %1 in den Papierkorb abgebrochen; das Objekt ist wieder in der Warteschlange</translation>
    </message>
    <message>
        <source>Cancelled renaming %1</source>
        <translation>Umbenennen von %1 abgebrochen</translation>
    </message>
    <message>
        <source>Cancelled the undo; nothing changed</source>
        <translation>Rückgängigmachen abgebrochen; nichts wurde geändert</translation>
    </message>
    <message>
        <source>Cancelled the removal of partial copies</source>
        <translation>Entfernen unvollständiger Kopien abgebrochen</translation>
    </message>
    <message>
        <source>Still moving %1 to %2</source>
        <translation>%1 wird noch nach %2 verschoben</translation>
    </message>
    <message>
        <source>Still moving %1 to the Trash</source>
        <translation>%1 wird noch in den Papierkorb verschoben</translation>
    </message>
    <message>
        <source>Still renaming %1</source>
        <translation>%1 wird noch umbenannt</translation>
    </message>
    <message>
        <source>Still undoing</source>
        <translation>Rückgängigmachen läuft noch</translation>
    </message>
    <message>
        <source>Still cleaning up</source>
        <translation>Aufräumen läuft noch</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files, %2 of %3</source>
        <translation>
            <numerusform>%1 von %n Datei, %2 von %3</numerusform>
            <numerusform>%1 von %n Dateien, %2 von %3</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>%1…</source>
        <translation>%1…</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>it is back in the queue</source>
        <translation>das Objekt ist wieder in der Warteschlange</translation>
    </message>
    <message numerus="yes">
        <source>all %n are back in the queue</source>
        <translation>
            <numerusform>%n ist wieder in der Warteschlange</numerusform>
            <numerusform>alle %n sind wieder in der Warteschlange</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n are back in the queue</source>
        <translation>
            <numerusform>%n ist wieder in der Warteschlange</numerusform>
            <numerusform>%n sind wieder in der Warteschlange</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ActionPaletteView</name>
    <message>
        <source>Volume unmounted or path missing: click to create the folder</source>
        <translation>Datenträger nicht eingehängt oder Pfad fehlt: Klicken, um den Ordner zu erstellen</translation>
    </message>
    <message>
        <source>Slot %1: %2</source>
        <translation>Fach %1: %2</translation>
    </message>
    <message>
        <source>Key %1 moves the item to %2</source>
        <translation>Taste %1 verschiebt das Objekt nach %2</translation>
    </message>
    <message>
        <source>Folder missing: %1</source>
        <translation>Ordner fehlt: %1</translation>
    </message>
    <message>
        <source>Suggested (%1). %2</source>
        <translation>Vorgeschlagen (%1). %2</translation>
    </message>
    <message>
        <source>Suggested destination: %1</source>
        <translation>Vorgeschlagenes Ziel: %1</translation>
    </message>
    <message>
        <source>%1 moves the item to %2</source>
        <translation>%1 verschiebt das Objekt nach %2</translation>
    </message>
    <message>
        <source>Custom Destination (Browse...)</source>
        <translation>Anderes Ziel (Durchsuchen...)</translation>
    </message>
    <message>
        <source>Key %1 moves the item to a folder you choose</source>
        <translation>Taste %1 verschiebt das Objekt in einen Ordner Ihrer Wahl</translation>
    </message>
    <message>
        <source>Custom Destination</source>
        <translation>Anderes Ziel</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen...</translation>
    </message>
    <message>
        <source>Inline Rename (%1)</source>
        <translation>Direkt umbenennen (%1)</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Rename the item in place (%1)</source>
        <translation>Das Objekt direkt hier umbenennen (%1)</translation>
    </message>
    <message>
        <source>Trash This Copy (%1)</source>
        <translation>Kopie wegwerfen (%1)</translation>
    </message>
    <message>
        <source>Moves this download to the Trash; the copy already filed stays</source>
        <translation>Verschiebt diesen Download in den Papierkorb; die bereits abgelegte Kopie bleibt erhalten</translation>
    </message>
    <message>
        <source>ROUTING DESTINATIONS</source>
        <translation>ABLAGEZIELE</translation>
    </message>
    <message>
        <source>Routing destinations</source>
        <translation>Ablageziele</translation>
    </message>
    <message>
        <source>ACTIONS</source>
        <translation>AKTIONEN</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>from %1</source>
        <translation>von %1</translation>
    </message>
    <message>
        <source>in %1</source>
        <translation>in %1</translation>
    </message>
    <message>
        <source>%1, from %2</source>
        <translation>%1, von %2</translation>
    </message>
    <message>
        <source>%1, in %2</source>
        <translation>%1, in %2</translation>
    </message>
    <message>
        <source>%1 moves all · %2 trashes all · %3 to look through</source>
        <translation>%1 verschiebt alle · %2 wirft alle weg · %3 zum Durchsehen</translation>
    </message>
    <message>
        <source>%1
Showing %2 of %3: %4</source>
        <translation>%1
Anzeige %2 von %3: %4</translation>
    </message>
    <message>
        <source>Same as last: %1</source>
        <translation>Wie zuletzt: %1</translation>
    </message>
    <message>
        <source>%1 moves the item to %2, where the last file went</source>
        <translation>%1 verschiebt das Objekt nach %2, wohin auch die letzte Datei kam</translation>
    </message>
    <message>
        <source>Added %1</source>
        <translation>Hinzugefügt %1</translation>
    </message>
</context>
<context>
    <name>ActionProgressView</name>
    <message>
        <source>File action in progress</source>
        <translation>Dateiaktion läuft</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Cancel the running move (C)</source>
        <translation>Laufendes Verschieben abbrechen (C)</translation>
    </message>
    <message>
        <source>Cancels the running move (C)</source>
        <translation>Bricht das laufende Verschieben ab (C)</translation>
    </message>
    <message>
        <source>about %1 s left</source>
        <translation>noch etwa %1 s</translation>
    </message>
    <message>
        <source>about %1 min left</source>
        <translation>noch etwa %1 min</translation>
    </message>
    <message>
        <source>about %1 h %2 min left</source>
        <translation>noch etwa %1 h %2 min</translation>
    </message>
    <message numerus="yes">
        <source>— %n more waiting</source>
        <translation>
            <numerusform>— %n weitere wartet</numerusform>
            <numerusform>— %n weitere warten</numerusform>
        </translation>
    </message>
    <message>
        <source>%1
Waiting: %2</source>
        <translation>%1
Wartend: %2</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files</source>
        <translation>
            <numerusform>%1 von %n Datei</numerusform>
            <numerusform>%1 von %n Dateien</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>Cancelling…</source>
        <translation>Wird abgebrochen…</translation>
    </message>
    <message>
        <source>Not responding</source>
        <translation>Reagiert nicht</translation>
    </message>
</context>
<context>
    <name>ActionShortcutHint</name>
    <message>
        <source>Key: %1</source>
        <translation>Taste: %1</translation>
    </message>
</context>
<context>
    <name>ActionStatusLine</name>
    <message>
        <source>Quitting: cancelling %1…</source>
        <translation>Beenden: %1 wird abgebrochen…</translation>
    </message>
    <message>
        <source>%1 is not responding — press C to cancel</source>
        <translation>Keine Antwort beim %1 — zum Abbrechen C drücken</translation>
    </message>
    <message numerus="yes">
        <source>%1 — %n more waiting</source>
        <translation>
            <numerusform>%1 — %n weitere wartet</numerusform>
            <numerusform>%1 — %n weitere warten</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ActionUndoApplier</name>
    <message>
        <source>Nothing to undo: %1 failed (%2)</source>
        <translation>Nichts rückgängig zu machen: %1 ist fehlgeschlagen (%2)</translation>
    </message>
    <message>
        <source>Nothing to undo</source>
        <translation>Nichts rückgängig zu machen</translation>
    </message>
    <message>
        <source>Cannot undo: the %1 in the Trash is not the one moved there from %2; nothing was restored</source>
        <translation>Rückgängigmachen nicht möglich: %1 im Papierkorb ist nicht das aus %2 dorthin verschobene Objekt; nichts wurde wiederhergestellt</translation>
    </message>
    <message>
        <source>Cannot undo: the %1 in %2 is not the file moved there (it was replaced or changed since); nothing was moved</source>
        <translation>Rückgängigmachen nicht möglich: %1 in %2 ist nicht die dorthin verschobene Datei (sie wurde inzwischen ersetzt oder geändert); nichts wurde verschoben</translation>
    </message>
    <message>
        <source>Cannot undo: %1 is not the file renamed to that name (it was replaced or changed since); nothing was renamed</source>
        <translation>Rückgängigmachen nicht möglich: %1 ist nicht die so umbenannte Datei (sie wurde inzwischen ersetzt oder geändert); nichts wurde umbenannt</translation>
    </message>
    <message>
        <source>Nothing restored: %1 is no longer in the Trash</source>
        <translation>Nichts wiederhergestellt: %1 ist nicht mehr im Papierkorb</translation>
    </message>
    <message>
        <source>Nothing restored: %1 is no longer in %2</source>
        <translation>Nichts wiederhergestellt: %1 ist nicht mehr in %2</translation>
    </message>
    <message>
        <source>Nothing restored: %1 is gone</source>
        <translation>Nichts wiederhergestellt: %1 ist verschwunden</translation>
    </message>
    <message>
        <source>Restored %1 from the Trash to %2</source>
        <translation>%1 aus dem Papierkorb in %2 wiederhergestellt</translation>
    </message>
    <message>
        <source>Restored %1 from the Trash to %2 as %3 (%1 was taken)</source>
        <translation>%1 aus dem Papierkorb als %3 in %2 wiederhergestellt (%1 war vergeben)</translation>
    </message>
    <message>
        <source>Undid move: %1 restored to %2</source>
        <translation>Verschieben rückgängig gemacht: %1 in %2 wiederhergestellt</translation>
    </message>
    <message>
        <source>Undid rename: %1 is %2 again</source>
        <translation>Umbenennen rückgängig gemacht: %1 heißt wieder %2</translation>
    </message>
    <message>
        <source>the %1 in the Trash is not the one moved there</source>
        <translation>%1 im Papierkorb ist nicht das dorthin verschobene Objekt</translation>
    </message>
    <message>
        <source>the %1 in %2 is not the file moved there (it was replaced or changed since)</source>
        <translation>%1 in %2 ist nicht die dorthin verschobene Datei (sie wurde inzwischen ersetzt oder geändert)</translation>
    </message>
    <message>
        <source>%1 is no longer in the Trash</source>
        <translation>%1 ist nicht mehr im Papierkorb</translation>
    </message>
    <message>
        <source>%1 is no longer in %2</source>
        <translation>%1 ist nicht mehr in %2</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>Cancelled the undo; nothing changed</source>
        <translation>Rückgängigmachen abgebrochen; nichts wurde geändert</translation>
    </message>
    <message>
        <source>Nothing restored</source>
        <translation>Nichts wiederhergestellt</translation>
    </message>
    <message>
        <source>Cancelled the undo after %1 (back in %2); the other %3 can still be undone</source>
        <translation>Rückgängigmachen nach %1 abgebrochen (wieder in %2); die übrigen %3 können weiterhin rückgängig gemacht werden</translation>
    </message>
    <message>
        <source>Undid move of %1: restored to %2</source>
        <translation>Verschieben von %1 rückgängig gemacht: in %2 wiederhergestellt</translation>
    </message>
    <message>
        <source>%1. Not restored: %2</source>
        <translation>%1. Nicht wiederhergestellt: %2</translation>
    </message>
    <message>
        <source>Nothing restored: %1 is gone since it was skipped</source>
        <translation>Nichts wiederhergestellt: %1 ist seit dem Überspringen verschwunden</translation>
    </message>
    <message>
        <source>Undid skip: %1 is back</source>
        <translation>Überspringen rückgängig gemacht: %1 ist wieder da</translation>
    </message>
</context>
<context>
    <name>AppConfig</name>
    <message>
        <source>Documents</source>
        <translation>Dokumente</translation>
    </message>
    <message>
        <source>Work Projects</source>
        <translation>Arbeitsprojekte</translation>
    </message>
    <message>
        <source>Invoices &amp; Finance</source>
        <translation>Rechnungen &amp; Finanzen</translation>
    </message>
    <message>
        <source>Screenshots</source>
        <translation>Bildschirmfotos</translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>History is unavailable: %1</source>
        <translation>Der Verlauf ist nicht verfügbar: %1</translation>
    </message>
    <message>
        <source>Organize Downloads</source>
        <translation>Downloads aufräumen</translation>
    </message>
    <message>
        <source>Scan %1 Now</source>
        <translation>%1 jetzt durchsuchen</translation>
    </message>
    <message>
        <source>Clear Skipped Files</source>
        <translation>Übersprungene Dateien zurückholen</translation>
    </message>
    <message>
        <source>Force Reset Queue</source>
        <translation>Warteschlange zwangsweise zurücksetzen</translation>
    </message>
    <message>
        <source>Open Log File...</source>
        <translation>Protokolldatei öffnen...</translation>
    </message>
    <message>
        <source>Check for Updates...</source>
        <translation>Nach Aktualisierungen suchen...</translation>
    </message>
    <message>
        <source>Preferences...</source>
        <translation>Einstellungen...</translation>
    </message>
    <message>
        <source>Quit Stowbird</source>
        <translation>Stowbird beenden</translation>
    </message>
    <message>
        <source>To open it again, press %1 or start Stowbird from the applications menu.</source>
        <translation>Zum erneuten Öffnen drücken Sie %1 oder starten Sie Stowbird über das Anwendungsmenü.</translation>
    </message>
    <message>
        <source>To open it again, start Stowbird from the applications menu.</source>
        <translation>Zum erneuten Öffnen starten Sie Stowbird über das Anwendungsmenü.</translation>
    </message>
    <message>
        <source>Stowbird keeps watching your downloads</source>
        <translation>Stowbird überwacht Ihre Downloads weiterhin</translation>
    </message>
    <message>
        <source>This desktop has no tray for its icon. %1</source>
        <translation>Diese Arbeitsumgebung hat keinen Infobereich für das Symbol. %1</translation>
    </message>
</context>
<context>
    <name>AppError</name>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>AppcastUpdater</name>
    <message>
        <source>The update feed is too large.</source>
        <translation>Der Aktualisierungs-Feed ist zu groß.</translation>
    </message>
    <message>
        <source>The update feed was redirected to an address that is not https.</source>
        <translation>Der Aktualisierungs-Feed wurde an eine Adresse ohne https umgeleitet.</translation>
    </message>
    <message>
        <source>The update feed answered HTTP %1.</source>
        <translation>Der Aktualisierungs-Feed antwortete mit HTTP %1.</translation>
    </message>
    <message>
        <source>The update feed could not be fetched: %1.</source>
        <translation>Der Aktualisierungs-Feed konnte nicht abgerufen werden: %1.</translation>
    </message>
    <message>
        <source>The update feed could not be read: %1.</source>
        <translation>Der Aktualisierungs-Feed konnte nicht gelesen werden: %1.</translation>
    </message>
</context>
<context>
    <name>ArchiveListingView</name>
    <message>
        <source>Archive contents</source>
        <translation>Archivinhalt</translation>
    </message>
    <message numerus="yes">
        <source>more than %Ln entries</source>
        <translation>
            <numerusform>mehr als %Ln Eintrag</numerusform>
            <numerusform>mehr als %Ln Einträge</numerusform>
        </translation>
    </message>
    <message>
        <source>empty</source>
        <translation>leer</translation>
    </message>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation>
            <numerusform>%Ln Datei</numerusform>
            <numerusform>%Ln Dateien</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>at least %Ln files</source>
        <translation>
            <numerusform>mindestens %Ln Datei</numerusform>
            <numerusform>mindestens %Ln Dateien</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, %Ln folders</source>
        <translation>
            <numerusform>%1, %Ln Ordner</numerusform>
            <numerusform>%1, %Ln Ordner</numerusform>
        </translation>
    </message>
    <message>
        <source>at least %1</source>
        <translation>mindestens %1</translation>
    </message>
    <message>
        <source>This archive is damaged or incomplete: the list ends where it could no longer be read.</source>
        <translation>Dieses Archiv ist beschädigt oder unvollständig: Die Liste endet dort, wo es nicht mehr gelesen werden konnte.</translation>
    </message>
    <message numerus="yes">
        <source>Reading this archive took too long: the list stops after %Ln entries.</source>
        <translation>
            <numerusform>Das Lesen dieses Archivs dauerte zu lange: Die Liste endet nach %Ln Eintrag.</numerusform>
            <numerusform>Das Lesen dieses Archivs dauerte zu lange: Die Liste endet nach %Ln Einträgen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>This archive has more than %Ln entries.</source>
        <translation>
            <numerusform>Dieses Archiv hat mehr als %Ln Eintrag.</numerusform>
            <numerusform>Dieses Archiv hat mehr als %Ln Einträge.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Only the first %Ln are listed.</source>
        <translation>
            <numerusform>Nur %Ln davon wird aufgeführt.</numerusform>
            <numerusform>Nur die ersten %Ln werden aufgeführt.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Only the first %Ln entries are listed.</source>
        <translation>
            <numerusform>Nur %Ln Eintrag wird aufgeführt.</numerusform>
            <numerusform>Nur die ersten %Ln Einträge werden aufgeführt.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln entries would be unpacked outside their folder (an absolute path or “..” in the name, or a link that points there). They are marked below.</source>
        <translation>
            <numerusform>%Ln Eintrag würde außerhalb seines Ordners entpackt (ein absoluter Pfad oder „..“ im Namen oder eine Verknüpfung, die dorthin zeigt). Er ist unten markiert.</numerusform>
            <numerusform>%Ln Einträge würden außerhalb ihres Ordners entpackt (ein absoluter Pfad oder „..“ im Namen oder eine Verknüpfung, die dorthin zeigt). Sie sind unten markiert.</numerusform>
        </translation>
    </message>
    <message>
        <source>Unpacked, this would take %1, over %2 times the size of the archive: it could fill the disk.</source>
        <translation>Entpackt würde dies %1 belegen, mehr als das %2-Fache der Archivgröße: Der Datenträger könnte volllaufen.</translation>
    </message>
    <message>
        <source>Some entries are encrypted.</source>
        <translation>Einige Einträge sind verschlüsselt.</translation>
    </message>
    <message>
        <source>This archive is empty.</source>
        <translation>Dieses Archiv ist leer.</translation>
    </message>
    <message numerus="yes">
        <source>CONTENTS (%Ln)</source>
        <translation>
            <numerusform>INHALT (%Ln)</numerusform>
            <numerusform>INHALT (%Ln)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>FIRST %Ln ENTRIES</source>
        <translation>
            <numerusform>%Ln EINTRAG</numerusform>
            <numerusform>ERSTE %Ln EINTRÄGE</numerusform>
        </translation>
    </message>
    <message>
        <source>This name leads outside the folder the archive would be unpacked into.</source>
        <translation>Dieser Name führt aus dem Ordner heraus, in den das Archiv entpackt würde.</translation>
    </message>
</context>
<context>
    <name>BlockingProblems</name>
    <message>
        <source>New downloads in %1 may not be seen: the system&apos;s limit of watched folders is reached.</source>
        <translation>Neue Downloads in %1 werden möglicherweise nicht erkannt: Die Systemgrenze für überwachte Ordner ist erreicht.</translation>
    </message>
    <message>
        <source>Raise fs.inotify.max_user_watches (for example: sudo sysctl fs.inotify.max_user_watches=524288).</source>
        <translation>Erhöhen Sie fs.inotify.max_user_watches (zum Beispiel: sudo sysctl fs.inotify.max_user_watches=524288).</translation>
    </message>
    <message>
        <source>New downloads in %1 cannot be seen: the system&apos;s limit of folder watchers is reached.</source>
        <translation>Neue Downloads in %1 können nicht erkannt werden: Die Systemgrenze für Ordnerüberwachungen ist erreicht.</translation>
    </message>
    <message>
        <source>Raise fs.inotify.max_user_instances (for example: sudo sysctl fs.inotify.max_user_instances=512) or close programs that watch many folders.</source>
        <translation>Erhöhen Sie fs.inotify.max_user_instances (zum Beispiel: sudo sysctl fs.inotify.max_user_instances=512) oder schließen Sie Programme, die viele Ordner überwachen.</translation>
    </message>
    <message>
        <source>New downloads in %1 cannot be seen: the folder does not exist.</source>
        <translation>Neue Downloads in %1 können nicht erkannt werden: Der Ordner existiert nicht.</translation>
    </message>
    <message>
        <source>Create the folder again: it is watched from the moment it exists.</source>
        <translation>Legen Sie den Ordner wieder an: Er wird überwacht, sobald er existiert.</translation>
    </message>
    <message>
        <source>New downloads in %1 cannot be seen: Stowbird may not read the folder (%2).</source>
        <translation>Neue Downloads in %1 können nicht erkannt werden: Stowbird darf den Ordner nicht lesen (%2).</translation>
    </message>
    <message>
        <source>Give yourself read access to the folder, for example: chmod u+rwx %1</source>
        <translation>Geben Sie sich Lesezugriff auf den Ordner, zum Beispiel: chmod u+rwx %1</translation>
    </message>
    <message>
        <source>New downloads in %1 cannot be seen: %2.</source>
        <translation>Neue Downloads in %1 können nicht erkannt werden: %2.</translation>
    </message>
    <message>
        <source>Restart Stowbird; the log has the details.</source>
        <translation>Starten Sie Stowbird neu; Einzelheiten stehen im Protokoll.</translation>
    </message>
    <message>
        <source>The history cannot be written: %1.</source>
        <translation>Der Verlauf kann nicht geschrieben werden: %1.</translation>
    </message>
    <message>
        <source>Free some disk space or make %1 writable; filing goes on meanwhile.</source>
        <translation>Geben Sie Speicherplatz frei oder machen Sie %1 beschreibbar; das Ablegen geht währenddessen weiter.</translation>
    </message>
    <message>
        <source>Make %1 writable; they are saved again at the next change.</source>
        <translation>Machen Sie %1 beschreibbar; bei der nächsten Änderung wird erneut gespeichert.</translation>
    </message>
</context>
<context>
    <name>CheatSheetOverlay</name>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
</context>
<context>
    <name>ConfigurationService</name>
    <message>
        <source>Could not create the folder %1</source>
        <translation>Der Ordner %1 konnte nicht erstellt werden</translation>
    </message>
    <message>
        <source>Your settings file could not be read; Stowbird started with defaults and will not save over %1.</source>
        <translation>Ihre Einstellungsdatei konnte nicht gelesen werden; Stowbird wurde mit den Standardeinstellungen gestartet und wird %1 nicht überschreiben.</translation>
    </message>
    <message>
        <source>Your settings file could not be read; Stowbird started with defaults and kept your file as %1</source>
        <translation>Ihre Einstellungsdatei konnte nicht gelesen werden; Stowbird wurde mit den Standardeinstellungen gestartet und hat Ihre Datei als %1 aufbewahrt</translation>
    </message>
    <message>
        <source>the unreadable file %1 could not be kept aside, so it is not written over</source>
        <translation>die unlesbare Datei %1 konnte nicht beiseitegelegt werden und wird deshalb nicht überschrieben</translation>
    </message>
    <message>
        <source>Settings not saved. %1</source>
        <translation>Einstellungen nicht gespeichert. %1</translation>
    </message>
</context>
<context>
    <name>CreateFolderOffer</name>
    <message>
        <source>Create %1 and move the item there?</source>
        <translation>%1 erstellen und das Objekt dorthin verschieben?</translation>
    </message>
    <message>
        <source>The folder %1 does not exist. Create it now?</source>
        <translation>Der Ordner %1 existiert nicht. Jetzt erstellen?</translation>
    </message>
    <message>
        <source>Return to confirm, Escape to cancel</source>
        <translation>Eingabetaste zum Bestätigen, Esc zum Abbrechen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Leaves everything as it is (Escape)</source>
        <translation>Lässt alles, wie es ist (Esc)</translation>
    </message>
    <message>
        <source>%1 (Return)</source>
        <translation>%1 (Eingabetaste)</translation>
    </message>
    <message>
        <source>Create folder</source>
        <translation>Ordner erstellen</translation>
    </message>
</context>
<context>
    <name>DestinationPredictor</name>
    <message>
        <source>.%1 files from %2</source>
        <translation>.%1-Dateien von %2</translation>
    </message>
    <message>
        <source>files without an extension</source>
        <translation>Dateien ohne Endung</translation>
    </message>
    <message>
        <source>.%1 files</source>
        <translation>.%1-Dateien</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1-Dateien</translation>
    </message>
    <message>
        <source>files named “%1…”</source>
        <translation>Dateien namens „%1…“</translation>
    </message>
    <message>
        <source>files named like this one</source>
        <translation>ähnlich benannte Dateien</translation>
    </message>
    <message>
        <source>files from %1</source>
        <translation>Dateien von %1</translation>
    </message>
    <message>
        <source>files of this size</source>
        <translation>Dateien dieser Größe</translation>
    </message>
    <message>
        <source>Items like this one went to %1</source>
        <translation>Ähnliche Objekte landeten in %1</translation>
    </message>
    <message>
        <source>The last of the %1 went to %2</source>
        <translation>Die letzte der %1 landete in %2</translation>
    </message>
    <message>
        <source>%1 of the last %2 %3 went to %4</source>
        <translation>%1 der letzten %2 %3 landeten in %4</translation>
    </message>
</context>
<context>
    <name>DuplicateFinder</name>
    <message>
        <source>Identical to %1, also waiting</source>
        <translation>Identisch mit %1 (wartet ebenfalls)</translation>
    </message>
    <message>
        <source>Identical to %1 in %2, filed %3</source>
        <translation>Identisch mit %1 in %2, abgelegt %3</translation>
    </message>
    <message>
        <source>Identical to %1 in %2</source>
        <translation>Identisch mit %1 in %2</translation>
    </message>
</context>
<context>
    <name>FileExecutionEngine</name>
    <message>
        <source>Cannot undo: &quot;%1&quot; already exists where the item was; nothing was replaced.</source>
        <translation>Rückgängigmachen nicht möglich: „%1“ existiert bereits am ursprünglichen Ort; nichts wurde ersetzt.</translation>
    </message>
    <message>
        <source>Destination directory does not exist: %1</source>
        <translation>Zielordner existiert nicht: %1</translation>
    </message>
</context>
<context>
    <name>FileMover</name>
    <message>
        <source>Could not move the item</source>
        <translation>Das Objekt konnte nicht verschoben werden</translation>
    </message>
    <message>
        <source>Could not move the item: the original cannot be removed</source>
        <translation>Das Objekt konnte nicht verschoben werden: Das Original lässt sich nicht entfernen</translation>
    </message>
</context>
<context>
    <name>FileNaming</name>
    <message>
        <source>The name is empty.</source>
        <translation>Der Name ist leer.</translation>
    </message>
    <message>
        <source>The name &quot;%1&quot; is reserved by the file system.</source>
        <translation>Der Name „%1“ ist vom Dateisystem reserviert.</translation>
    </message>
    <message>
        <source>A name cannot contain &quot;/&quot;.</source>
        <translation>Ein Name darf kein „/“ enthalten.</translation>
    </message>
    <message>
        <source>A name cannot contain a NUL character.</source>
        <translation>Ein Name darf kein NUL-Zeichen enthalten.</translation>
    </message>
</context>
<context>
    <name>FolderChildRowDelegate</name>
    <message numerus="yes">
        <source>%n items</source>
        <translation>
            <numerusform>%n Objekt</numerusform>
            <numerusform>%n Objekte</numerusform>
        </translation>
    </message>
    <message>
        <source>Reveal in File Manager</source>
        <translation>Im Dateimanager anzeigen</translation>
    </message>
</context>
<context>
    <name>FolderInspectorView</name>
    <message>
        <source>File Manager</source>
        <translation>Dateimanager</translation>
    </message>
    <message>
        <source>Reveal folder in File Manager (Ctrl+O)</source>
        <translation>Ordner im Dateimanager anzeigen (Strg+O)</translation>
    </message>
    <message>
        <source>Reveal folder in File Manager</source>
        <translation>Ordner im Dateimanager anzeigen</translation>
    </message>
    <message>
        <source>Shows the folder in the file manager (Ctrl+O)</source>
        <translation>Zeigt den Ordner im Dateimanager an (Strg+O)</translation>
    </message>
    <message numerus="yes">
        <source>IMAGES (%n)</source>
        <translation>
            <numerusform>BILDER (%n)</numerusform>
            <numerusform>BILDER (%n)</numerusform>
        </translation>
    </message>
    <message>
        <source>Click to preview</source>
        <translation>Klicken für Vorschau</translation>
    </message>
    <message numerus="yes">
        <source>FOLDER CONTENTS (%n)</source>
        <translation>
            <numerusform>ORDNERINHALT (%n)</numerusform>
            <numerusform>ORDNERINHALT (%n)</numerusform>
        </translation>
    </message>
    <message>
        <source>Folder is empty</source>
        <translation>Ordner ist leer</translation>
    </message>
    <message numerus="yes">
        <source>%n items</source>
        <translation>
            <numerusform>%n Objekt</numerusform>
            <numerusform>%n Objekte</numerusform>
        </translation>
    </message>
    <message>
        <source>Back to Folder</source>
        <translation>Zurück zum Ordner</translation>
    </message>
    <message>
        <source>Returns to the folder&apos;s contents</source>
        <translation>Kehrt zum Inhalt des Ordners zurück</translation>
    </message>
    <message>
        <source>Reveal file in File Manager</source>
        <translation>Datei im Dateimanager anzeigen</translation>
    </message>
    <message>
        <source>Shows %1 in the file manager</source>
        <translation>Zeigt %1 im Dateimanager an</translation>
    </message>
</context>
<context>
    <name>FolderListing</name>
    <message numerus="yes">
        <source>%n PDFs</source>
        <translation>
            <numerusform>%n PDF</numerusform>
            <numerusform>%n PDFs</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Images</source>
        <translation>
            <numerusform>%n Bild</numerusform>
            <numerusform>%n Bilder</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Folders</source>
        <translation>
            <numerusform>%n Ordner</numerusform>
            <numerusform>%n Ordner</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Files</source>
        <translation>
            <numerusform>%n Datei</numerusform>
            <numerusform>%n Dateien</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FreedesktopTrash</name>
    <message>
        <source>The item is not inside a trash.</source>
        <translation>Das Objekt befindet sich in keinem Papierkorb.</translation>
    </message>
    <message>
        <source>Could not restore the item</source>
        <translation>Das Objekt konnte nicht wiederhergestellt werden</translation>
    </message>
    <message>
        <source>The trash does not say where the item came from.</source>
        <translation>Der Papierkorb gibt nicht an, woher das Objekt stammt.</translation>
    </message>
</context>
<context>
    <name>GeneralSettingsSection</name>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Launch Stowbird automatically at login</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>Starts Stowbird in the tray when you log in; takes effect on Save</source>
        <translation>Startet Stowbird beim Anmelden im Infobereich; wirksam nach „Speichern“</translation>
    </message>
    <message>
        <source>Open System Settings</source>
        <translation>Systemeinstellungen öffnen</translation>
    </message>
    <message>
        <source>Opens the folder of login items</source>
        <translation>Öffnet den Autostart-Ordner</translation>
    </message>
    <message>
        <source>Notifications:</source>
        <translation>Benachrichtigungen:</translation>
    </message>
    <message>
        <source>Never</source>
        <translation>Nie</translation>
    </message>
    <message>
        <source>New downloads never raise a notification</source>
        <translation>Neue Downloads lösen nie eine Benachrichtigung aus</translation>
    </message>
    <message>
        <source>Without a tray</source>
        <translation>Ohne Infobereich</translation>
    </message>
    <message>
        <source>New downloads raise a notification only when the desktop has no tray for the icon</source>
        <translation>Neue Downloads lösen nur dann eine Benachrichtigung aus, wenn die Arbeitsumgebung keinen Infobereich für das Symbol hat</translation>
    </message>
    <message>
        <source>Always</source>
        <translation>Immer</translation>
    </message>
    <message>
        <source>New downloads raise a notification whenever the window is hidden</source>
        <translation>Neue Downloads lösen immer eine Benachrichtigung aus, wenn das Fenster verborgen ist</translation>
    </message>
    <message>
        <source>Notify of new downloads</source>
        <translation>Über neue Downloads benachrichtigen</translation>
    </message>
    <message>
        <source>While the window is hidden, a new download shows a notification with buttons to file it, trash it or open Stowbird: never, only when the desktop has no tray for the icon, or always. Saved with Save</source>
        <translation>Solange das Fenster verborgen ist, zeigt ein neuer Download eine Benachrichtigung mit Knöpfen zum Ablegen, zum Verschieben in den Papierkorb oder zum Öffnen von Stowbird: nie, nur wenn die Arbeitsumgebung keinen Infobereich für das Symbol hat, oder immer. Wird mit „Speichern“ übernommen</translation>
    </message>
    <message>
        <source>File Completion Debounce:</source>
        <translation>Wartezeit bis Download fertig:</translation>
    </message>
    <message>
        <source>File completion debounce</source>
        <translation>Wartezeit bis Download fertig</translation>
    </message>
    <message>
        <source>Check for Updates...</source>
        <translation>Jetzt prüfen...</translation>
    </message>
    <message>
        <source>Looks for a newer Stowbird now</source>
        <translation>Sucht jetzt nach einer neueren Version von Stowbird</translation>
    </message>
    <message>
        <source>Updates:</source>
        <translation>Aktualisierungen:</translation>
    </message>
    <message>
        <source>How long a download must stay unchanged before it is queued: %1</source>
        <translation>Wie lange ein Download unverändert bleiben muss, bevor er in die Warteschlange kommt: %1</translation>
    </message>
    <message>
        <source>%1s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>Stowbird could not be set to launch at login: %1</source>
        <translation>Stowbird konnte nicht für den Start bei der Anmeldung eingerichtet werden: %1</translation>
    </message>
    <message>
        <source>Launch at login could not be turned off: %1</source>
        <translation>Der Start bei der Anmeldung konnte nicht ausgeschaltet werden: %1</translation>
    </message>
</context>
<context>
    <name>GlobalHotkey</name>
    <message>
        <source>&quot;%1&quot; is not a modifier key</source>
        <translation>„%1“ ist keine Zusatztaste</translation>
    </message>
    <message>
        <source>no key is named</source>
        <translation>es ist keine Taste angegeben</translation>
    </message>
    <message>
        <source>a modifier alone is not a shortcut</source>
        <translation>eine Zusatztaste allein ist kein Tastenkürzel</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a key</source>
        <translation>„%1“ ist keine Taste</translation>
    </message>
    <message>
        <source>a shortcut for the whole desktop needs a modifier key</source>
        <translation>ein Tastenkürzel für die ganze Arbeitsumgebung braucht eine Zusatztaste</translation>
    </message>
</context>
<context>
    <name>GlobalShortcutEditor</name>
    <message>
        <source>Open Stowbird from anywhere:</source>
        <translation>Stowbird von überall öffnen:</translation>
    </message>
    <message>
        <source>Turn Off</source>
        <translation>Ausschalten</translation>
    </message>
    <message>
        <source>No shortcut opens Stowbird from anywhere; takes effect on Save</source>
        <translation>Kein Tastenkürzel öffnet Stowbird von überall; wirksam nach „Speichern“</translation>
    </message>
    <message>
        <source>The shortcut in effect now</source>
        <translation>Das derzeit gültige Tastenkürzel</translation>
    </message>
    <message>
        <source>Global shortcut</source>
        <translation>Globales Tastenkürzel</translation>
    </message>
    <message>
        <source>Press the new chord, with at least one of Ctrl, Alt, Shift or Super; takes effect on Save</source>
        <translation>Drücken Sie die neue Tastenkombination mit mindestens einer der Tasten Strg, Alt, Umschalt oder Super; wirksam nach „Speichern“</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>%1 cannot open Stowbird from anywhere: %2.</source>
        <translation>%1 kann Stowbird nicht von überall öffnen: %2.</translation>
    </message>
    <message>
        <source>%1 (being set up...)</source>
        <translation>%1 (wird eingerichtet...)</translation>
    </message>
    <message>
        <source>%1 (not set up)</source>
        <translation>%1 (nicht eingerichtet)</translation>
    </message>
    <message>
        <source>%1 (not working)</source>
        <translation>%1 (funktioniert nicht)</translation>
    </message>
    <message>
        <source>The shortcut could not be set up: %1. Launching Stowbird again also opens this window.</source>
        <translation>Das Tastenkürzel konnte nicht eingerichtet werden: %1. Ein erneuter Start von Stowbird öffnet dieses Fenster ebenfalls.</translation>
    </message>
    <message>
        <source>Global shortcut in effect</source>
        <translation>Gültiges globales Tastenkürzel</translation>
    </message>
</context>
<context>
    <name>GlobalShortcutService</name>
    <message>
        <source>&quot;%1&quot; is not a shortcut: %2</source>
        <translation>„%1“ ist kein Tastenkürzel: %2</translation>
    </message>
    <message>
        <source>this desktop offers no global shortcuts to programs (no GlobalShortcuts portal, no X11 session)</source>
        <translation>diese Arbeitsumgebung bietet Programmen keine globalen Tastenkürzel an (kein GlobalShortcuts-Portal, keine X11-Sitzung)</translation>
    </message>
</context>
<context>
    <name>GroupActionApplier</name>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1 fehlgeschlagen: %2</translation>
    </message>
    <message>
        <source>Nothing moved to %1: %2; %3</source>
        <translation>Nichts in %1 verschoben: %2; %3</translation>
    </message>
    <message>
        <source>Moved %1 of %2 to %3%4; %5; %6</source>
        <translation>%1 von %2 in %3 verschoben%4; %5; %6</translation>
    </message>
    <message>
        <source>Cancelled moving %1 to %2</source>
        <translation>Verschieben von %1 in %2 abgebrochen</translation>
    </message>
    <message>
        <source>%1 after %2%3; %4</source>
        <translation>%1, nachdem %2 verschoben waren%3; %4</translation>
    </message>
    <message>
        <source>Moved %1 to Trash</source>
        <translation>%1 in den Papierkorb verschoben</translation>
    </message>
    <message>
        <source>Moved %1 to %2</source>
        <translation>%1 nach %2 verschoben</translation>
    </message>
</context>
<context>
    <name>HistoryEntry</name>
    <message numerus="yes">
        <source>%n files</source>
        <translation>
            <numerusform>%n Datei</numerusform>
            <numerusform>%n Dateien</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HistoryListModel</name>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>und %n weitere</numerusform>
            <numerusform>und %n weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>Downloads</source>
        <translation>Downloads</translation>
    </message>
    <message>
        <source>Moved to several folders</source>
        <translation>In mehrere Ordner verschoben</translation>
    </message>
    <message>
        <source>Moved to %1</source>
        <translation>Nach %1 verschoben</translation>
    </message>
    <message>
        <source>Moved to Trash</source>
        <translation>In den Papierkorb verschoben</translation>
    </message>
    <message>
        <source>Renamed to %1</source>
        <translation>In %1 umbenannt</translation>
    </message>
    <message>
        <source>Skipped</source>
        <translation>Übersprungen</translation>
    </message>
    <message>
        <source>Put back where they were</source>
        <translation>Am ursprünglichen Ort wiederhergestellt</translation>
    </message>
    <message>
        <source>Put back in %1</source>
        <translation>In %1 wiederhergestellt</translation>
    </message>
    <message>
        <source>just now</source>
        <translation>gerade eben</translation>
    </message>
    <message>
        <source>from %1</source>
        <translation>von %1</translation>
    </message>
    <message>
        <source>an undo</source>
        <translation>eine Rücknahme</translation>
    </message>
    <message>
        <source>partly undone</source>
        <translation>teilweise zurückgenommen</translation>
    </message>
    <message>
        <source>undone</source>
        <translation>zurückgenommen</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Papierkorb</translation>
    </message>
</context>
<context>
    <name>HistoryRowDelegate</name>
    <message>
        <source>UNDO</source>
        <translation>RÜCKNAHME</translation>
    </message>
    <message>
        <source>UNDONE</source>
        <translation>ZURÜCKGENOMMEN</translation>
    </message>
    <message>
        <source>PARTLY UNDONE</source>
        <translation>TEILS ZURÜCKGENOMMEN</translation>
    </message>
    <message>
        <source>%1 (slot %2)</source>
        <translation>%1 (Fach %2)</translation>
    </message>
    <message>
        <source>%1  ·  from %2</source>
        <translation>%1  ·  von %2</translation>
    </message>
</context>
<context>
    <name>HistoryStore</name>
    <message>
        <source>%1, and it could not be kept aside (%2)</source>
        <translation>%1; die Datei konnte auch nicht beiseitegelegt werden (%2)</translation>
    </message>
    <message>
        <source>The history could not be read (%1). It was kept as %2 and a new history was started.</source>
        <translation>Der Verlauf konnte nicht gelesen werden (%1). Er wurde als %2 aufbewahrt und ein neuer Verlauf wurde begonnen.</translation>
    </message>
    <message>
        <source>the history file could not be opened</source>
        <translation>die Verlaufsdatei konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>This action is already being undone</source>
        <translation>Diese Aktion wird bereits rückgängig gemacht</translation>
    </message>
    <message>
        <source>History is unavailable: %1</source>
        <translation>Der Verlauf ist nicht verfügbar: %1</translation>
    </message>
    <message>
        <source>This action is no longer in the history</source>
        <translation>Diese Aktion ist nicht mehr im Verlauf</translation>
    </message>
    <message>
        <source>%1 could not be removed</source>
        <translation>%1 konnte nicht entfernt werden</translation>
    </message>
    <message>
        <source>The history could not be deleted: %1</source>
        <translation>Der Verlauf konnte nicht gelöscht werden: %1</translation>
    </message>
    <message>
        <source>History deleted</source>
        <translation>Verlauf gelöscht</translation>
    </message>
</context>
<context>
    <name>HistoryUndo</name>
    <message>
        <source>trashed</source>
        <translation>in den Papierkorb verschoben</translation>
    </message>
    <message>
        <source>renamed</source>
        <translation>umbenannt</translation>
    </message>
    <message>
        <source>filed</source>
        <translation>abgelegt</translation>
    </message>
    <message>
        <source>%1 is back in %2</source>
        <translation>%1 ist wieder in %2</translation>
    </message>
    <message>
        <source>%1 is back in %2 as %3, because %1 is taken there</source>
        <translation>%1 ist als %3 wieder in %2, weil %1 dort bereits vergeben ist</translation>
    </message>
    <message>
        <source>These %1 were only skipped: nothing to undo</source>
        <translation>Diese %1 wurden nur übersprungen: Es gibt nichts rückgängig zu machen</translation>
    </message>
    <message>
        <source>An undo cannot be undone from the history</source>
        <translation>Eine Rücknahme kann im Verlauf nicht rückgängig gemacht werden</translation>
    </message>
    <message>
        <source>These %1 were already put back</source>
        <translation>Diese %1 wurden bereits wiederhergestellt</translation>
    </message>
    <message>
        <source>back in %1</source>
        <translation>wieder in %1</translation>
    </message>
    <message>
        <source>back where they were</source>
        <translation>wieder am ursprünglichen Ort</translation>
    </message>
    <message>
        <source>None of the %1 could be put back</source>
        <translation>Keine der %1 konnte wiederhergestellt werden</translation>
    </message>
    <message>
        <source>%1 are %2</source>
        <translation>%1 sind %2</translation>
    </message>
    <message>
        <source>%1 of %2 are %3</source>
        <translation>%1 von %2 sind %3</translation>
    </message>
    <message>
        <source>%1 (one under a new name, because its name is taken there)</source>
        <translation>%1 (eine unter neuem Namen, weil ihr Name dort vergeben ist)</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n under new names, because theirs are taken there)</source>
        <translation>
            <numerusform>%1 (%n unter neuem Namen, weil ihr Name dort vergeben ist)</numerusform>
            <numerusform>%1 (%n unter neuen Namen, weil ihre dort vergeben sind)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>und %n weitere</numerusform>
            <numerusform>und %n weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>%1; not restored: %2</source>
        <translation>%1; nicht wiederhergestellt: %2</translation>
    </message>
    <message>
        <source>%1 was already put back</source>
        <translation>%1 wurde bereits wiederhergestellt</translation>
    </message>
    <message>
        <source>%1 was only skipped: nothing to undo</source>
        <translation>%1 wurde nur übersprungen: Es gibt nichts rückgängig zu machen</translation>
    </message>
    <message>
        <source>the Trash</source>
        <translation>dem Papierkorb</translation>
    </message>
    <message>
        <source>%1 is no longer in %2</source>
        <translation>%1 ist nicht mehr in %2</translation>
    </message>
    <message>
        <source>%1 cannot be checked: the history does not know which file was %2</source>
        <translation>%1 kann nicht geprüft werden: Der Verlauf weiß nicht, welche Datei %2 wurde</translation>
    </message>
    <message>
        <source>%1 was changed since it was %2</source>
        <translation>%1 wurde verändert, seit es %2 wurde</translation>
    </message>
    <message>
        <source>%1 in %2 was replaced since it was %3</source>
        <translation>%1 in %2 wurde ersetzt, seit es %3 wurde</translation>
    </message>
    <message>
        <source>The Trash&apos;s record of %1 was replaced since it was trashed</source>
        <translation>Der Papierkorbeintrag von %1 wurde ersetzt, seit es in den Papierkorb verschoben wurde</translation>
    </message>
    <message>
        <source>%1 could not be restored: %2</source>
        <translation>%1 konnte nicht wiederhergestellt werden: %2</translation>
    </message>
    <message>
        <source>%1 cannot go back: %2 no longer exists</source>
        <translation>%1 kann nicht zurück: %2 existiert nicht mehr</translation>
    </message>
    <message>
        <source>%1 could not be put back: %2</source>
        <translation>%1 konnte nicht zurückverschoben werden: %2</translation>
    </message>
</context>
<context>
    <name>HistoryView</name>
    <message>
        <source>History is unavailable: %1</source>
        <translation>Der Verlauf ist nicht verfügbar: %1</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation>Schließen (Esc)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Type to filter by name, folder or website</source>
        <translation>Tippen, um nach Name, Ordner oder Website zu filtern</translation>
    </message>
    <message>
        <source>Filter the history</source>
        <translation>Verlauf filtern</translation>
    </message>
    <message>
        <source>Past actions</source>
        <translation>Bisherige Aktionen</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Show in File Manager</source>
        <translation>Im Dateimanager</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>it could not be started</source>
        <translation>er konnte nicht gestartet werden</translation>
    </message>
    <message>
        <source>Nothing filed yet</source>
        <translation>Noch nichts abgelegt</translation>
    </message>
    <message>
        <source>Nothing in the history matches “%1”</source>
        <translation>Nichts im Verlauf passt zu „%1“</translation>
    </message>
    <message>
        <source>Putting back %1…</source>
        <translation>%1 wird wiederhergestellt…</translation>
    </message>
</context>
<context>
    <name>InboxFolders</name>
    <message>
        <source>%1 is not a full folder path</source>
        <translation>%1 ist kein vollständiger Ordnerpfad</translation>
    </message>
    <message>
        <source>%1 is the Downloads folder, which is always watched</source>
        <translation>%1 ist der Downloads-Ordner, der immer überwacht wird</translation>
    </message>
    <message>
        <source>%1 is inside the Downloads folder</source>
        <translation>%1 liegt im Downloads-Ordner</translation>
    </message>
    <message>
        <source>%1 holds the Downloads folder</source>
        <translation>%1 enthält den Downloads-Ordner</translation>
    </message>
    <message>
        <source>%1 is watched already</source>
        <translation>%1 wird bereits überwacht</translation>
    </message>
    <message>
        <source>%1 is inside %2, which is watched</source>
        <translation>%1 liegt im überwachten Ordner %2</translation>
    </message>
    <message>
        <source>%1 holds %2, which is watched</source>
        <translation>%1 enthält den überwachten Ordner %2</translation>
    </message>
</context>
<context>
    <name>InlineRenameView</name>
    <message>
        <source>New filename</source>
        <translation>Neuer Dateiname</translation>
    </message>
    <message>
        <source>New file name</source>
        <translation>Neuer Dateiname</translation>
    </message>
    <message>
        <source>Press Return to confirm, Escape to cancel</source>
        <translation>Eingabetaste zum Bestätigen, Esc zum Abbrechen</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Confirm rename</source>
        <translation>Umbenennen bestätigen</translation>
    </message>
    <message>
        <source>Renames the item to the new name (Return)</source>
        <translation>Benennt das Objekt in den neuen Namen um (Eingabetaste)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Cancel rename</source>
        <translation>Umbenennen abbrechen</translation>
    </message>
    <message>
        <source>Keeps the old name (Escape)</source>
        <translation>Behält den alten Namen bei (Esc)</translation>
    </message>
</context>
<context>
    <name>JsonFile</name>
    <message>
        <source>Could not save %1: %2</source>
        <translation>%1 konnte nicht gespeichert werden: %2</translation>
    </message>
</context>
<context>
    <name>KeyboardCheatSheetView</name>
    <message>
        <source>Tip: You can press &apos;?&apos; at any time while triaging to view this cheat sheet.</source>
        <translation>Tipp: Mit „?“ können Sie diese Übersicht beim Sortieren jederzeit aufrufen.</translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation>Schließen (Esc)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Closes the keyboard shortcuts (Esc)</source>
        <translation>Schließt die Übersicht der Tastenkürzel (Esc)</translation>
    </message>
    <message>
        <source>Got it</source>
        <translation>Verstanden</translation>
    </message>
    <message>
        <source>Closes the keyboard shortcuts</source>
        <translation>Schließt die Übersicht der Tastenkürzel</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>Open Stowbird from anywhere on the desktop (not available here; see Preferences)</source>
        <translation>Stowbird von überall öffnen (hier nicht verfügbar; siehe Einstellungen)</translation>
    </message>
    <message>
        <source>Open Stowbird from anywhere on the desktop (turned off in Preferences)</source>
        <translation>Stowbird von überall öffnen (in den Einstellungen ausgeschaltet)</translation>
    </message>
    <message>
        <source>Open Stowbird from anywhere on the desktop</source>
        <translation>Stowbird von überall öffnen</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>LookAlikeGrouper</name>
    <message numerus="yes">
        <source>%n alike: %1 … %2</source>
        <translation>
            <numerusform>%n ähnliche: %1 … %2</numerusform>
            <numerusform>%n ähnliche: %1 … %2</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NewDownloadNotifier</name>
    <message>
        <source>Open Stowbird</source>
        <translation>Stowbird öffnen</translation>
    </message>
    <message>
        <source>New download</source>
        <translation>Neuer Download</translation>
    </message>
    <message numerus="yes">
        <source>%n new downloads</source>
        <translation>
            <numerusform>%n neuer Download</numerusform>
            <numerusform>%n neue Downloads</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>und %n weiterer</numerusform>
            <numerusform>und %n weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>File to %1</source>
        <translation>In %1 ablegen</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>In den Papierkorb</translation>
    </message>
    <message>
        <source>%1 was not moved to the Trash</source>
        <translation>%1 wurde nicht in den Papierkorb verschoben</translation>
    </message>
    <message>
        <source>%1 was not filed</source>
        <translation>%1 wurde nicht abgelegt</translation>
    </message>
    <message>
        <source>It is no longer waiting in Stowbird.</source>
        <translation>Das Objekt wartet nicht mehr in Stowbird.</translation>
    </message>
</context>
<context>
    <name>PreviewLoader</name>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>Dokument</translation>
    </message>
    <message>
        <source>%1 File</source>
        <translation>%1-Datei</translation>
    </message>
    <message>
        <source>This file cannot be read.</source>
        <translation>Diese Datei kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>This PDF could not be opened.</source>
        <translation>Dieses PDF konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>Reading this archive took too long.</source>
        <translation>Das Lesen dieses Archivs dauerte zu lange.</translation>
    </message>
    <message>
        <source>The contents of this archive could not be read.</source>
        <translation>Der Inhalt dieses Archivs konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>This image could not be read.</source>
        <translation>Dieses Bild konnte nicht gelesen werden.</translation>
    </message>
</context>
<context>
    <name>PrivacySettingsSection</name>
    <message>
        <source>Privacy &amp; Diagnostics</source>
        <translation>Datenschutz &amp; Diagnose</translation>
    </message>
    <message>
        <source>Suggest destinations from history</source>
        <translation>Ziele anhand des Verlaufs vorschlagen</translation>
    </message>
    <message>
        <source>Highlights where items like the current one went before; Return files it there. Learned from this computer&apos;s history only; takes effect on Save</source>
        <translation>Hebt hervor, wohin ähnliche Objekte bisher kamen; die Eingabetaste legt das aktuelle dort ab. Gelernt nur aus dem Verlauf dieses Rechners; wirksam nach „Speichern“</translation>
    </message>
    <message>
        <source>Forget History…</source>
        <translation>Verlauf vergessen…</translation>
    </message>
    <message>
        <source>Deletes the history of triage actions and what was learned from it, after asking</source>
        <translation>Löscht nach Rückfrage den Verlauf der Sortieraktionen und das daraus Gelernte</translation>
    </message>
    <message>
        <source>Send anonymous usage counts to the developers</source>
        <translation>Anonyme Nutzungszahlen an die Entwickler senden</translation>
    </message>
    <message>
        <source>Once per session: counts of actions and kinds of files. Names, paths, contents and crash reports are never sent.</source>
        <translation>Einmal pro Sitzung: Anzahl der Aktionen und Dateiarten. Namen, Pfade, Inhalte und Absturzberichte werden nie gesendet.</translation>
    </message>
    <message>
        <source>Keep anonymous usage counts on this computer (nothing is sent)</source>
        <translation>Anonyme Nutzungszahlen auf diesem Rechner speichern (nichts wird gesendet)</translation>
    </message>
    <message>
        <source>Crash reports stay here too. File names, folder paths and file contents are never recorded.</source>
        <translation>Absturzberichte bleiben ebenfalls hier. Dateinamen, Ordnerpfade und Dateiinhalte werden nie erfasst.</translation>
    </message>
    <message>
        <source>%1 Takes effect on Save.</source>
        <translation>%1 Wirksam nach „Speichern“.</translation>
    </message>
    <message>
        <source>Forget the history? Every recorded action and what Stowbird learned from it is deleted, and earlier actions can no longer be undone from the history.</source>
        <translation>Verlauf vergessen? Alle aufgezeichneten Aktionen und alles, was Stowbird daraus gelernt hat, werden gelöscht, und frühere Aktionen können nicht mehr über den Verlauf rückgängig gemacht werden.</translation>
    </message>
    <message>
        <source>Forget History</source>
        <translation>Verlauf vergessen</translation>
    </message>
    <message>
        <source>Deleting the history…</source>
        <translation>Verlauf wird gelöscht…</translation>
    </message>
</context>
<context>
    <name>QuickLookHostView</name>
    <message>
        <source>%1 at %2</source>
        <translation>%1 um %2</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Preview of %1</source>
        <translation>Vorschau von %1</translation>
    </message>
    <message>
        <source>Nothing to preview</source>
        <translation>Keine Vorschau</translation>
    </message>
    <message>
        <source>Showing the first %1 of this file.</source>
        <translation>Angezeigt werden die ersten %1 dieser Datei.</translation>
    </message>
    <message>
        <source>Created %1</source>
        <translation>Erstellt am %1</translation>
    </message>
    <message>
        <source>Modified %1</source>
        <translation>Geändert am %1</translation>
    </message>
    <message>
        <source>No preview could be made: %1</source>
        <translation>Keine Vorschau möglich: %1</translation>
    </message>
</context>
<context>
    <name>RelativeTimeFormatter</name>
    <message numerus="yes">
        <source>%n years ago</source>
        <translation>
            <numerusform>vor %n Jahr</numerusform>
            <numerusform>vor %n Jahren</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n years</source>
        <translation>
            <numerusform>in %n Jahr</numerusform>
            <numerusform>in %n Jahren</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n months ago</source>
        <translation>
            <numerusform>vor %n Monat</numerusform>
            <numerusform>vor %n Monaten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n months</source>
        <translation>
            <numerusform>in %n Monat</numerusform>
            <numerusform>in %n Monaten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n weeks ago</source>
        <translation>
            <numerusform>vor %n Woche</numerusform>
            <numerusform>vor %n Wochen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n weeks</source>
        <translation>
            <numerusform>in %n Woche</numerusform>
            <numerusform>in %n Wochen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n days ago</source>
        <translation>
            <numerusform>vor %n Tag</numerusform>
            <numerusform>vor %n Tagen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n days</source>
        <translation>
            <numerusform>in %n Tag</numerusform>
            <numerusform>in %n Tagen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hours ago</source>
        <translation>
            <numerusform>vor %n Stunde</numerusform>
            <numerusform>vor %n Stunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n hours</source>
        <translation>
            <numerusform>in %n Stunde</numerusform>
            <numerusform>in %n Stunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minutes ago</source>
        <translation>
            <numerusform>vor %n Minute</numerusform>
            <numerusform>vor %n Minuten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n minutes</source>
        <translation>
            <numerusform>in %n Minute</numerusform>
            <numerusform>in %n Minuten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n seconds ago</source>
        <translation>
            <numerusform>vor %n Sekunde</numerusform>
            <numerusform>vor %n Sekunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n seconds</source>
        <translation>
            <numerusform>in %n Sekunde</numerusform>
            <numerusform>in %n Sekunden</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SettingsSheet</name>
    <message>
        <source>Stowbird Preferences</source>
        <translation>Stowbird-Einstellungen</translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>Stowbird Preferences</source>
        <translation>Stowbird-Einstellungen</translation>
    </message>
    <message>
        <source>Restore Defaults</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Puts back the default slots, debounce delay and global shortcut; nothing changes before Save</source>
        <translation>Stellt die vorgegebenen Fächer, die Wartezeit und das globale Tastenkürzel wieder her; wirksam erst nach „Speichern“</translation>
    </message>
    <message>
        <source>Closes the preferences; nothing changed here takes effect</source>
        <translation>Schließt die Einstellungen; hier vorgenommene Änderungen werden verworfen</translation>
    </message>
    <message>
        <source>Saves every change made here (Return)</source>
        <translation>Speichert alle hier vorgenommenen Änderungen (Eingabetaste)</translation>
    </message>
    <message>
        <source>Select Folder</source>
        <translation>Ordner auswählen</translation>
    </message>
</context>
<context>
    <name>SlotListEditor</name>
    <message>
        <source>Destination Slots (Keys 1-9)</source>
        <translation>Zielfächer (Tasten 1-9)</translation>
    </message>
    <message>
        <source>Add Slot</source>
        <translation>Fach hinzufügen</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Wählen...</translation>
    </message>
    <message>
        <source>Browse for the slot %1 folder</source>
        <translation>Ordner für Fach %1 auswählen</translation>
    </message>
    <message>
        <source>Chooses the folder of slot %1</source>
        <translation>Wählt den Ordner von Fach %1</translation>
    </message>
    <message>
        <source>Move slot %1 up</source>
        <translation>Fach %1 nach oben verschieben</translation>
    </message>
    <message>
        <source>Gives this slot key %1 (Alt+Up)</source>
        <translation>Gibt diesem Fach die Taste %1 (Alt+Pfeil hoch)</translation>
    </message>
    <message>
        <source>Move slot %1 down</source>
        <translation>Fach %1 nach unten verschieben</translation>
    </message>
    <message>
        <source>Gives this slot key %1 (Alt+Down)</source>
        <translation>Gibt diesem Fach die Taste %1 (Alt+Pfeil runter)</translation>
    </message>
    <message>
        <source>Remove slot %1</source>
        <translation>Fach %1 entfernen</translation>
    </message>
    <message>
        <source>Removes this slot; the slots below it move up a key</source>
        <translation>Entfernt dieses Fach; die Fächer darunter rücken eine Taste auf</translation>
    </message>
    <message>
        <source>Slot Name</source>
        <translation>Fachname</translation>
    </message>
    <message>
        <source>Slot %1 name</source>
        <translation>Name von Fach %1</translation>
    </message>
    <message>
        <source>The name shown for key %1; Alt+Up and Alt+Down move the slot</source>
        <translation>Der für Taste %1 angezeigte Name; Alt+Pfeil hoch und Alt+Pfeil runter verschieben das Fach</translation>
    </message>
    <message>
        <source>Path (%1)</source>
        <translation>Pfad (%1)</translation>
    </message>
    <message>
        <source>Slot %1 folder</source>
        <translation>Ordner von Fach %1</translation>
    </message>
    <message>
        <source>The folder that key %1 moves items to; ~ is your home folder</source>
        <translation>Der Ordner, in den Taste %1 Objekte verschiebt; ~ ist Ihr persönlicher Ordner</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Erstellen</translation>
    </message>
    <message>
        <source>This folder does not exist: click to create it</source>
        <translation>Dieser Ordner existiert nicht: Klicken, um ihn zu erstellen</translation>
    </message>
    <message>
        <source>Create the missing slot %1 folder</source>
        <translation>Fehlenden Ordner von Fach %1 erstellen</translation>
    </message>
    <message>
        <source>The folder of slot %1 does not exist</source>
        <translation>Der Ordner von Fach %1 existiert nicht</translation>
    </message>
    <message>
        <source>Adds a slot for key %1</source>
        <translation>Fügt ein Fach für Taste %1 hinzu</translation>
    </message>
    <message>
        <source>Nine slots at most: keys 1 to 9 are all taken. Remove a slot to add another.</source>
        <translation>Höchstens neun Fächer: Die Tasten 1 bis 9 sind alle belegt. Entfernen Sie ein Fach, um ein anderes hinzuzufügen.</translation>
    </message>
    <message>
        <source>Not created: %1</source>
        <translation>Nicht erstellt: %1</translation>
    </message>
    <message>
        <source>Create Folder</source>
        <translation>Ordner erstellen</translation>
    </message>
</context>
<context>
    <name>TrayStatusItem</name>
    <message>
        <source>Stowbird: Downloads Inbox Zero</source>
        <translation>Stowbird: Downloads aufgeräumt</translation>
    </message>
    <message numerus="yes">
        <source>Stowbird: %n waiting</source>
        <translation>
            <numerusform>Stowbird: %n wartet</numerusform>
            <numerusform>Stowbird: %n warten</numerusform>
        </translation>
    </message>
    <message>
        <source>Stowbird: Looking through Downloads…</source>
        <translation>Stowbird: Downloads werden durchsucht…</translation>
    </message>
    <message>
        <source>Stowbird: Finishing…</source>
        <translation>Stowbird: Wird abgeschlossen…</translation>
    </message>
    <message>
        <source>Stowbird: %1</source>
        <translation>Stowbird: %1</translation>
    </message>
</context>
<context>
    <name>TreeCopier</name>
    <message>
        <source>The item changed while it was being copied.</source>
        <translation>Das Objekt hat sich während des Kopierens verändert.</translation>
    </message>
    <message>
        <source>The copy does not match the original.</source>
        <translation>Die Kopie stimmt nicht mit dem Original überein.</translation>
    </message>
    <message>
        <source>The link changed while it was being copied.</source>
        <translation>Die Verknüpfung hat sich während des Kopierens verändert.</translation>
    </message>
</context>
<context>
    <name>TriageActionController</name>
    <message>
        <source>Cancelled; nothing changed</source>
        <translation>Abgebrochen; nichts wurde geändert</translation>
    </message>
    <message>
        <source>Not moved: %1 is no longer waiting</source>
        <translation>Nicht verschoben: %1 wartet nicht mehr</translation>
    </message>
    <message>
        <source>Moved %1 to Trash</source>
        <translation>%1 in den Papierkorb verschoben</translation>
    </message>
    <message>
        <source>Moved to %1: %2</source>
        <translation>Nach %1 verschoben: %2</translation>
    </message>
    <message>
        <source>Failed to move: %1</source>
        <translation>Verschieben fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Error: %1</source>
        <translation>Fehler: %1</translation>
    </message>
    <message>
        <source>Nothing filed yet: file one item first</source>
        <translation>Noch nichts abgelegt: Legen Sie zuerst ein Objekt ab</translation>
    </message>
    <message>
        <source>Failed to trash file: %1</source>
        <translation>Verschieben in den Papierkorb fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Skipped %1</source>
        <translation>%1 übersprungen</translation>
    </message>
    <message>
        <source>Renamed to %1</source>
        <translation>In %1 umbenannt</translation>
    </message>
    <message>
        <source>Renamed to %1 (%2 was taken)</source>
        <translation>In %1 umbenannt (%2 war vergeben)</translation>
    </message>
    <message>
        <source>Rename error: %1</source>
        <translation>Fehler beim Umbenennen: %1</translation>
    </message>
    <message>
        <source>Undo error: %1</source>
        <translation>Fehler beim Rückgängigmachen: %1</translation>
    </message>
</context>
<context>
    <name>TriageContainerView</name>
    <message>
        <source>Move Here</source>
        <translation>Hierher verschieben</translation>
    </message>
    <message>
        <source>Choose a Folder</source>
        <translation>Ordner auswählen</translation>
    </message>
    <message>
        <source>Inbox Zero</source>
        <translation>Alles aufgeräumt</translation>
    </message>
    <message numerus="yes">
        <source>%n items remaining</source>
        <translation>
            <numerusform>%n Objekt übrig</numerusform>
            <numerusform>%n Objekte übrig</numerusform>
        </translation>
    </message>
    <message>
        <source>Looking…</source>
        <translation>Wird durchsucht…</translation>
    </message>
    <message>
        <source>Finishing…</source>
        <translation>Wird abgeschlossen…</translation>
    </message>
</context>
<context>
    <name>TriageEmptyPage</name>
    <message>
        <source>All completed downloads have been organized. Stowbird is actively monitoring %1 for new files.</source>
        <translation>Alle abgeschlossenen Downloads sind einsortiert. Stowbird überwacht %1 auf neue Dateien.</translation>
    </message>
    <message>
        <source>Bring the skipped files back into the queue (%1)</source>
        <translation>Die übersprungenen Dateien zurück in die Warteschlange holen (%1)</translation>
    </message>
    <message>
        <source>Brings the skipped files back into the queue (%1)</source>
        <translation>Holt die übersprungenen Dateien zurück in die Warteschlange (%1)</translation>
    </message>
    <message>
        <source>Stowbird is listing %1; the first file shows here as soon as it is found.</source>
        <translation>Stowbird durchsucht %1; die erste Datei erscheint hier, sobald sie gefunden wird.</translation>
    </message>
    <message>
        <source>Stowbird is finishing the last file action; the item comes back here if it fails.</source>
        <translation>Stowbird schließt die letzte Dateiaktion ab; schlägt sie fehl, kehrt das Objekt hierher zurück.</translation>
    </message>
    <message numerus="yes">
        <source>Review %n Skipped Files</source>
        <translation>
            <numerusform>%n übersprungene Datei ansehen</numerusform>
            <numerusform>%n übersprungene Dateien ansehen</numerusform>
        </translation>
    </message>
    <message>
        <source>Looking through Downloads…</source>
        <translation>Downloads werden durchsucht…</translation>
    </message>
    <message>
        <source>Finishing…</source>
        <translation>Wird abgeschlossen…</translation>
    </message>
    <message>
        <source>Downloads Inbox Zero</source>
        <translation>Downloads aufgeräumt</translation>
    </message>
    <message>
        <source>%1 and one other folder</source>
        <translation>%1 und einen weiteren Ordner</translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n other folders</source>
        <translation>
            <numerusform>%1 und %n weiteren Ordner</numerusform>
            <numerusform>%1 und %n weitere Ordner</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TriageHUDPanel</name>
    <message>
        <source>Dismiss</source>
        <translation>Ausblenden</translation>
    </message>
</context>
<context>
    <name>TriageHeadCommands</name>
    <message>
        <source>Not moved: the folder of %1 is missing (press %2 to create it for this file)</source>
        <translation>Nicht verschoben: Der Ordner von %1 fehlt (drücken Sie %2, um ihn für diese Datei zu erstellen)</translation>
    </message>
    <message>
        <source>No suggestion for this item</source>
        <translation>Kein Vorschlag für dieses Objekt</translation>
    </message>
</context>
<context>
    <name>TriageHeaderBar</name>
    <message>
        <source>Keyboard Shortcuts (%1)</source>
        <translation>Tastenkürzel (%1)</translation>
    </message>
    <message>
        <source>Configure Destination Slots</source>
        <translation>Zielfächer einrichten</translation>
    </message>
    <message>
        <source>Close (%1)</source>
        <translation>Schließen (%1)</translation>
    </message>
</context>
<context>
    <name>TriageItem</name>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
</context>
<context>
    <name>TriageKeyTable</name>
    <message>
        <source>Move to Slot 1–9</source>
        <translation>In Fach 1–9 verschieben</translation>
    </message>
    <message>
        <source>Move all alike to Slot 1–9</source>
        <translation>Alle Ähnlichen in Fach 1–9</translation>
    </message>
    <message>
        <source>Browse custom folder...</source>
        <translation>Anderen Ordner wählen...</translation>
    </message>
    <message>
        <source>Move where the last file went</source>
        <translation>Zum Ziel der letzten Datei</translation>
    </message>
    <message>
        <source>Move to Trash</source>
        <translation>In den Papierkorb</translation>
    </message>
    <message>
        <source>Trash file</source>
        <translation>Wegwerfen</translation>
    </message>
    <message>
        <source>Move all alike to Trash</source>
        <translation>Alle Ähnlichen wegwerfen</translation>
    </message>
    <message>
        <source>Skip to back of queue</source>
        <translation>Überspringen (ans Ende)</translation>
    </message>
    <message>
        <source>Skip to end</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>Look through all alike</source>
        <translation>Alle Ähnlichen durchsehen</translation>
    </message>
    <message>
        <source>Cancel the running move</source>
        <translation>Verschieben abbrechen</translation>
    </message>
    <message>
        <source>Inline rename file</source>
        <translation>Datei direkt umbenennen</translation>
    </message>
    <message>
        <source>Inline rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Undo last triage action</source>
        <translation>Letzte Aktion rückgängig</translation>
    </message>
    <message>
        <source>Undo last action</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Reveal in File Manager</source>
        <translation>Im Dateimanager anzeigen</translation>
    </message>
    <message>
        <source>Open in File Manager</source>
        <translation>Im Dateimanager</translation>
    </message>
    <message>
        <source>Open preview in default app</source>
        <translation>Mit Standardanwendung öffnen</translation>
    </message>
    <message>
        <source>Show history</source>
        <translation>Verlauf anzeigen</translation>
    </message>
    <message>
        <source>Toggle this cheat sheet</source>
        <translation>Übersicht ein-/ausblenden</translation>
    </message>
    <message>
        <source>Open Preferences</source>
        <translation>Einstellungen öffnen</translation>
    </message>
    <message>
        <source>Close Stowbird window</source>
        <translation>Fenster schließen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Quit application</source>
        <translation>Anwendung beenden</translation>
    </message>
    <message>
        <source>TRIAGE &amp; ROUTING</source>
        <translation>SORTIEREN &amp; ABLEGEN</translation>
    </message>
    <message>
        <source>REVIEW &amp; ACTIONS</source>
        <translation>ANSEHEN &amp; AKTIONEN</translation>
    </message>
    <message>
        <source>GENERAL</source>
        <translation>ALLGEMEIN</translation>
    </message>
    <message>
        <source>or</source>
        <translation>oder</translation>
    </message>
</context>
<context>
    <name>TriageKeyboard</name>
    <message>
        <source>No slot %1: add one in Preferences</source>
        <translation>Kein Fach %1: Fügen Sie es in den Einstellungen hinzu</translation>
    </message>
</context>
<context>
    <name>TriagePreviewPane</name>
    <message>
        <source>Large File (%1)</source>
        <translation>Große Datei (%1)</translation>
    </message>
    <message>
        <source>Preview deferred to prevent UI lag.</source>
        <translation>Vorschau zurückgestellt, damit die Oberfläche flüssig bleibt.</translation>
    </message>
    <message>
        <source>Load Preview</source>
        <translation>Vorschau laden</translation>
    </message>
</context>
<context>
    <name>TriageQueueManager</name>
    <message>
        <source>Skip list not saved. %1</source>
        <translation>Liste der übersprungenen Dateien nicht gespeichert. %1</translation>
    </message>
</context>
<context>
    <name>TriageRenamePanel</name>
    <message>
        <source>RENAME FILE</source>
        <translation>DATEI UMBENENNEN</translation>
    </message>
    <message>
        <source>Press Return to confirm, Escape to cancel</source>
        <translation>Eingabetaste zum Bestätigen, Esc zum Abbrechen</translation>
    </message>
</context>
<context>
    <name>TriageSheets</name>
    <message>
        <source>Could not create the folder: %1</source>
        <translation>Der Ordner konnte nicht erstellt werden: %1</translation>
    </message>
    <message>
        <source>Create and Move</source>
        <translation>Erstellen und verschieben</translation>
    </message>
</context>
<context>
    <name>UpdateWindow</name>
    <message>
        <source>Download Update</source>
        <translation>Herunterladen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Software Update</source>
        <translation>Softwareaktualisierung</translation>
    </message>
    <message>
        <source>Checking for updates…</source>
        <translation>Suche nach Aktualisierungen…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>A new version of Stowbird is available!</source>
        <translation>Eine neue Version von Stowbird ist verfügbar!</translation>
    </message>
    <message>
        <source>Stowbird %1 is now available (you have %2). Would you like to download it now?</source>
        <translation>Stowbird %1 ist jetzt verfügbar (Sie haben %2). Möchten Sie die neue Version jetzt herunterladen?</translation>
    </message>
    <message>
        <source>Remind Me Later</source>
        <translation>Später erinnern</translation>
    </message>
    <message>
        <source>You&apos;re up to date!</source>
        <translation>Stowbird ist auf dem neuesten Stand!</translation>
    </message>
    <message>
        <source>Stowbird %1 is currently the newest version available.</source>
        <translation>Stowbird %1 ist derzeit die neueste verfügbare Version.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Update Error!</source>
        <translation>Aktualisierungsfehler!</translation>
    </message>
    <message>
        <source>An error occurred in retrieving update information. Please try again later.

%1</source>
        <translation>Beim Abrufen der Aktualisierungsinformationen ist ein Fehler aufgetreten. Bitte versuchen Sie es später erneut.

%1</translation>
    </message>
</context>
<context>
    <name>WatchedFoldersRow</name>
    <message>
        <source>Watching:</source>
        <translation>Überwacht:</translation>
    </message>
    <message>
        <source>Watched folders</source>
        <translation>Überwachte Ordner</translation>
    </message>
    <message>
        <source>Watch Another Folder...</source>
        <translation>Weiteren Ordner überwachen...</translation>
    </message>
    <message>
        <source>Watches another folder for new items, as Downloads is</source>
        <translation>Überwacht einen weiteren Ordner auf neue Objekte, wie Downloads</translation>
    </message>
    <message>
        <source>%1: always watched</source>
        <translation>%1: wird immer überwacht</translation>
    </message>
    <message>
        <source>%1: watched for new items</source>
        <translation>%1: wird auf neue Objekte überwacht</translation>
    </message>
    <message>
        <source>%1: not watched, %2</source>
        <translation>%1: nicht überwacht, %2</translation>
    </message>
    <message>
        <source>Stop watching %1</source>
        <translation>%1 nicht mehr überwachen</translation>
    </message>
    <message>
        <source>Removes this folder from the watched folders; its items leave the queue</source>
        <translation>Entfernt diesen Ordner aus den überwachten Ordnern; seine Objekte verlassen die Warteschlange</translation>
    </message>
    <message>
        <source>Not added: %1</source>
        <translation>Nicht hinzugefügt: %1</translation>
    </message>
</context>
<context>
    <name>XdgAutostartBackend</name>
    <message>
        <source>The Stowbird program file could not be found.</source>
        <translation>Die Programmdatei von Stowbird wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>The autostart folder %1 could not be created.</source>
        <translation>Der Autostart-Ordner %1 konnte nicht erstellt werden.</translation>
    </message>
    <message>
        <source>The autostart entry %1 could not be written: %2</source>
        <translation>Der Autostart-Eintrag %1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>The autostart entry %1 could not be removed: %2</source>
        <translation>Der Autostart-Eintrag %1 konnte nicht entfernt werden: %2</translation>
    </message>
</context>
</TS>
