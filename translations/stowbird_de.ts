<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>ActionPaletteView</name>
    <message>
        <source>Volume unmounted or path missing: click to create the folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slot %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Key %1 moves the item to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Folder missing: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suggested (%1). %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suggested destination: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 moves the item to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Custom Destination (Browse...)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Key %1 moves the item to a folder you choose</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Custom Destination</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Inline Rename (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rename the item in place (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trash This Copy (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moves this download to the Trash; the copy already filed stays</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ROUTING DESTINATIONS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Routing destinations</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ACTIONS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>from %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, from %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, in %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 moves all · %2 trashes all · %3 to look through</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1
Showing %2 of %3: %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Same as last: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 moves the item to %2, where the last file went</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Added %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ActionProgressView</name>
    <message>
        <source>File action in progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel the running move (C)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancels the running move (C)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>about %1 s left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>about %1 min left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>about %1 h %2 min left</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>— %n more waiting</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>%1
Waiting: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancelling…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not responding</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ActionShortcutHint</name>
    <message>
        <source>Key: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>History is unavailable: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Organize Downloads</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scan %1 Now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear Skipped Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Force Reset Queue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Log File...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check for Updates...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preferences...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit Stowbird</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To open it again, press %1 or start Stowbird from the applications menu.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To open it again, start Stowbird from the applications menu.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stowbird keeps watching your downloads</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This desktop has no tray for its icon. %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Stowbird: %n waiting</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Stowbird: Looking through Downloads…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stowbird: Finishing…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stowbird: Downloads Inbox Zero</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AppError</name>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AppcastUpdater</name>
    <message>
        <source>The update feed is too large.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update feed was redirected to an address that is not https.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update feed answered HTTP %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update feed could not be fetched: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update feed could not be read: %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ArchiveListingView</name>
    <message>
        <source>Archive contents</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>more than %Ln entries</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>at least %Ln files</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, %Ln folders</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>at least %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This archive is damaged or incomplete: the list ends where it could no longer be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Reading this archive took too long: the list stops after %Ln entries.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>This archive has more than %Ln entries.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Only the first %Ln are listed.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Only the first %Ln entries are listed.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln entries would be unpacked outside their folder (an absolute path or “..” in the name, or a link that points there). They are marked below.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Unpacked, this would take %1, over %2 times the size of the archive: it could fill the disk.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Some entries are encrypted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This archive is empty.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>CONTENTS (%Ln)</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>FIRST %Ln ENTRIES</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>This name leads outside the folder the archive would be unpacked into.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CheatSheetOverlay</name>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ConfigurationService</name>
    <message>
        <source>Could not create the folder %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your settings file could not be read; Stowbird started with defaults and will not save over %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your settings file could not be read; Stowbird started with defaults and kept your file as %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the unreadable file %1 could not be kept aside, so it is not written over</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings not saved. %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CreateFolderOffer</name>
    <message>
        <source>Create %1 and move the item there?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder %1 does not exist. Create it now?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Return to confirm, Escape to cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Leaves everything as it is (Escape)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (Return)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DestinationPredictor</name>
    <message>
        <source>.%1 files from %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>files without an extension</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>.%1 files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>files named “%1…”</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>files named like this one</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>files from %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>files of this size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Items like this one went to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The last of the %1 went to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of the last %2 %3 went to %4</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DuplicateFinder</name>
    <message>
        <source>Identical to %1, also waiting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Identical to %1 in %2, filed %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Identical to %1 in %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileExecutionEngine</name>
    <message>
        <source>Cannot undo: &quot;%1&quot; already exists where the item was; nothing was replaced.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Destination directory does not exist: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileMover</name>
    <message>
        <source>Could not move the item</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not move the item: the original cannot be removed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileNaming</name>
    <message>
        <source>The name is empty.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The name &quot;%1&quot; is reserved by the file system.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A name cannot contain &quot;/&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A name cannot contain a NUL character.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FolderChildRowDelegate</name>
    <message numerus="yes">
        <source>%n items</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Reveal in File Manager</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FolderInspectorView</name>
    <message>
        <source>File Manager</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reveal folder in File Manager (Ctrl+O)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reveal folder in File Manager</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows the folder in the file manager (Ctrl+O)</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>IMAGES (%n)</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Click to preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>FOLDER CONTENTS (%n)</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Folder is empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n items</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Back to Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Returns to the folder&apos;s contents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reveal file in File Manager</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows %1 in the file manager</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FolderListing</name>
    <message numerus="yes">
        <source>%n PDFs</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Images</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Folders</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Files</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FreedesktopTrash</name>
    <message>
        <source>The item is not inside a trash.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not restore the item</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The trash does not say where the item came from.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GlobalHotkey</name>
    <message>
        <source>&quot;%1&quot; is not a modifier key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no key is named</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a modifier alone is not a shortcut</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a shortcut for the whole desktop needs a modifier key</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GlobalShortcutService</name>
    <message>
        <source>&quot;%1&quot; is not a shortcut: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>this desktop offers no global shortcuts to programs (no GlobalShortcuts portal, no X11 session)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HistoryEntry</name>
    <message numerus="yes">
        <source>%n files</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HistoryListModel</name>
    <message numerus="yes">
        <source>and %n more</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Downloads</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moved to several folders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moved to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moved to Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Renamed to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Skipped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Put back where they were</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Put back in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>just now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>from %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>an undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>partly undone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>undone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trash</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HistoryRowDelegate</name>
    <message>
        <source>UNDO</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UNDONE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PARTLY UNDONE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (slot %1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  ·  from %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HistoryStore</name>
    <message>
        <source>%1, and it could not be kept aside (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The history could not be read (%1). It was kept as %2 and a new history was started.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the history file could not be opened</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This action is already being undone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>History is unavailable: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This action is no longer in the history</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 could not be removed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The history could not be deleted: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>History deleted</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HistoryUndo</name>
    <message>
        <source>trashed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>renamed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>filed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is back in %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is back in %2 as %3, because %1 is taken there</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>These %1 were only skipped: nothing to undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An undo cannot be undone from the history</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>These %1 were already put back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>back in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>back where they were</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None of the %1 could be put back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 are %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 are %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (one under a new name, because its name is taken there)</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n under new names, because theirs are taken there)</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>%1; not restored: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was already put back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was only skipped: nothing to undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is no longer in %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be checked: the history does not know which file was %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was changed since it was %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 in %2 was replaced since it was %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Trash&apos;s record of %1 was replaced since it was trashed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 could not be restored: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot go back: %2 no longer exists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 could not be put back: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HistoryView</name>
    <message>
        <source>History is unavailable: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type to filter by name, folder or website</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filter the history</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Past actions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show in File Manager</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it could not be started</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing filed yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing in the history matches “%1”</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Putting back %1…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InboxFolders</name>
    <message>
        <source>%1 is not a full folder path</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is the Downloads folder, which is always watched</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is inside the Downloads folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 holds the Downloads folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is watched already</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is inside %2, which is watched</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 holds %2, which is watched</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InlineRenameView</name>
    <message>
        <source>New filename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New file name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Press Return to confirm, Escape to cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirm rename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Renames the item to the new name (Return)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel rename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keeps the old name (Escape)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>JsonFile</name>
    <message>
        <source>Could not save %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>KeyboardCheatSheetView</name>
    <message>
        <source>Tip: You can press &apos;?&apos; at any time while triaging to view this cheat sheet.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Closes the keyboard shortcuts (Esc)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Got it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Closes the keyboard shortcuts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Stowbird from anywhere on the desktop (not available here; see Preferences)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Stowbird from anywhere on the desktop (turned off in Preferences)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Stowbird from anywhere on the desktop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LookAlikeGrouper</name>
    <message numerus="yes">
        <source>%n alike: %1 … %2</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NewDownloadNotifier</name>
    <message>
        <source>Open Stowbird</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New download</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n new downloads</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>File to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was not moved to the Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was not filed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is no longer waiting in Stowbird.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PreviewLoader</name>
    <message>
        <source>Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Document</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This file cannot be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This PDF could not be opened.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading this archive took too long.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The contents of this archive could not be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This image could not be read.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QuickLookHostView</name>
    <message>
        <source>%1 at %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Showing the first %1 of this file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Created %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Modified %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RelativeTimeFormatter</name>
    <message numerus="yes">
        <source>%n years ago</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n years</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n months ago</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n months</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n weeks ago</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n weeks</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n days ago</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n days</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hours ago</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n hours</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minutes ago</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n minutes</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n seconds ago</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n seconds</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SettingsSheet</name>
    <message>
        <source>Stowbird Preferences</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>Stowbird Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Destination Slots (Keys 1-9)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Slot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore Defaults</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Puts back the default slots, debounce delay and global shortcut; nothing changes before Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Closes the preferences; nothing changed here takes effect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saves every change made here (Return)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slot Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slot %1 name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The name shown for key %1; Alt+Up and Alt+Down move the slot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Path (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slot %1 folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder that key %1 moves items to; ~ is your home folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Browse for the slot %1 folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Chooses the folder of slot %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This folder does not exist: click to create it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create the missing slot %1 folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder of slot %1 does not exist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move slot %1 up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gives this slot key %1 (Alt+Up)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move slot %1 down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gives this slot key %1 (Alt+Down)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove slot %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Removes this slot; the slots below it move up a key</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Adds a slot for key %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nine slots at most: keys 1 to 9 are all taken. Remove a slot to add another.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Watching:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Watched folders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Watch Another Folder...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Watches another folder for new items, as Downloads is</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: always watched</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: watched for new items</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: not watched, %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop watching %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Removes this folder from the watched folders; its items leave the queue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not added: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>General</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Launch Stowbird automatically at login</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Starts Stowbird in the tray when you log in; takes effect on Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open System Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opens the folder of login items</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notifications:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Never</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New downloads never raise a notification</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Without a tray</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New downloads raise a notification only when the desktop has no tray for the icon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Always</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New downloads raise a notification whenever the window is hidden</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notify of new downloads</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>While the window is hidden, a new download shows a notification with buttons to file it, trash it or open Stowbird: never, only when the desktop has no tray for the icon, or always. Saved with Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File Completion Debounce:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File completion debounce</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check for Updates...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Looks for a newer Stowbird now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updates:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Privacy &amp; Diagnostics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suggest destinations from history</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Highlights where items like the current one went before; Return files it there. Learned from this computer&apos;s history only; takes effect on Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Forget History…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deletes the history of triage actions and what was learned from it, after asking</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send anonymous usage counts to the developers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Once per session: counts of actions and kinds of files. Names, paths, contents and crash reports are never sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep anonymous usage counts on this computer (nothing is sent)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Crash reports stay here too. File names, folder paths and file contents are never recorded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> Takes effect on Save.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Forget the history? Every recorded action and what Stowbird learned from it is deleted, and earlier actions can no longer be undone from the history.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Forget History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deleting the history…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>How long a download must stay unchanged before it is queued: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Stowbird from anywhere:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Global shortcut</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Press the new chord, with at least one of Ctrl, Alt, Shift or Super; takes effect on Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Turn Off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No shortcut opens Stowbird from anywhere; takes effect on Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The shortcut in effect now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot open Stowbird from anywhere: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (being set up...)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (not set up)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (not working)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The shortcut could not be set up: %1. Launching Stowbird again also opens this window.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Global shortcut in effect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stowbird could not be set to launch at login: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Launch at login could not be turned off: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not created: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TreeCopier</name>
    <message>
        <source>The item changed while it was being copied.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The copy does not match the original.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The link changed while it was being copied.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TriageActionController</name>
    <message>
        <source>it is back in the queue</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>all %n are back in the queue</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n are back in the queue</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Move %1 to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move %1 to the Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rename %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancelling %1…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the running action</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Too late to cancel: %1 is copied whole, and the original is being removed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gave up waiting: %1 is not responding. %2 of %3 moved; %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancelled moving %1 to %2: the folder is not responding. %1 is back in the queue; the partial copy is removed if the folder answers again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gave up waiting: %1 is not responding</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Still moving %1 to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Still moving %1 to the Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Still renaming %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Still undoing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Still cleaning up</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files, %2 of %3</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quitting: cancelling %1…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not responding — press C to cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1 — %n more waiting</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Cancelled; nothing changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not moved: %1 is no longer waiting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing moved to %1: %2; %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moved %1 of %2 to %3%4; %5; %6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancelled moving %1 to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 after %2%3; %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moved %1 to Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moved %1 to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moved to %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to move: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing filed yet: file one item first</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to trash file: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Skipped %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Renamed to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Renamed to %1 (%2 was taken)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rename error: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo error: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to undo: %1 failed (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing to undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the %1 in the Trash is not the one moved there</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the %1 in %2 is not the file moved there (it was replaced or changed since)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is no longer in the Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is no longer in %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancelled the undo; nothing changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing restored</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancelled the undo after %1 (back in %2); the other %3 can still be undone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restored %1 from the Trash to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undid move of %1: restored to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1. Not restored: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing restored: %1 is gone since it was skipped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undid skip: %1 is back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the move of %1 to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the move of %1 to the Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the rename of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moving %1 to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moving %1 to the Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Renaming %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undoing the last action</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Removing partial copies left by an interrupted move</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancelled moving %1 to %2; they are back in the queue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancelled moving %1 to %2; it is back in the queue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancelled moving %1 to the Trash; it is back in the queue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancelled renaming %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancelled the removal of partial copies</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot undo: the %1 in the Trash is not the one moved there from %2; nothing was restored</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot undo: the %1 in %2 is not the file moved there (it was replaced or changed since); nothing was moved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot undo: %1 is not the file renamed to that name (it was replaced or changed since); nothing was renamed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing restored: %1 is no longer in the Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing restored: %1 is no longer in %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing restored: %1 is gone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restored %1 from the Trash to %2 as %3 (%1 was taken)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undid move: %1 restored to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undid rename: %1 is %2 again</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TriageContainerView</name>
    <message>
        <source>Move Here</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose a Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No slot %1: add one in Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create and Move</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not create the folder: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not moved: the folder of %1 is missing (press %2 to create it for this file)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No suggestion for this item</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Inbox Zero</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n items remaining</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Keyboard Shortcuts (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configure Destination Slots</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RENAME FILE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Press Return to confirm, Escape to cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All completed downloads have been organized. Stowbird is actively monitoring %1 for new files.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bring the skipped files back into the queue (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Brings the skipped files back into the queue (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Looking…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Finishing…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Looking through Downloads…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloads Inbox Zero</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 and one other folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n other folders</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Stowbird is listing %1; the first file shows here as soon as it is found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stowbird is finishing the last file action; the item comes back here if it fails.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Review %n Skipped Files</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TriageHUDPanel</name>
    <message>
        <source>Dismiss</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TriageItem</name>
    <message>
        <source>Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TriageKeyTable</name>
    <message>
        <source>Move to Slot 1Ĺ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move all alike to Slot 1Ĺ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Browse custom folder...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move where the last file went</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move to Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trash file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move all alike to Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Skip to back of queue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Skip to end</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Look through all alike</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel the running move</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Inline rename file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Inline rename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo last triage action</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo last action</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reveal in File Manager</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open in File Manager</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open preview in default app</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show history</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Toggle this cheat sheet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close Stowbird window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit application</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TRIAGE &amp; ROUTING</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>REVIEW &amp; ACTIONS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GENERAL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>or</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TriagePreviewPane</name>
    <message>
        <source>Large File (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview deferred to prevent UI lag.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load Preview</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TriageQueueManager</name>
    <message>
        <source>Skip list not saved. %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpdateWindow</name>
    <message>
        <source>Download Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Software Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking for updates…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A new version of Stowbird is available!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stowbird %1 is now available (you have %2). Would you like to download it now?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remind Me Later</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You&apos;re up to date!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stowbird %1 is currently the newest version available.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update Error!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An error occurred in retrieving update information. Please try again later.

%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>XdgAutostartBackend</name>
    <message>
        <source>The Stowbird program file could not be found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The autostart folder %1 could not be created.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The autostart entry %1 could not be written: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The autostart entry %1 could not be removed: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
