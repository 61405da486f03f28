<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>ActionJob</name>
    <message numerus="yes">
        <source>%1 of %n files, %2 of %3</source>
        <translation>
            <numerusform>%1 of %n file, %2 of %3</numerusform>
            <numerusform>%1 of %n files, %2 of %3</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>all %n are back in the queue</source>
        <translation>
            <numerusform>all %n are back in the queue</numerusform>
            <numerusform>all %n are back in the queue</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n are back in the queue</source>
        <translation>
            <numerusform>%n is back in the queue</numerusform>
            <numerusform>%n are back in the queue</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ActionProgressView</name>
    <message numerus="yes">
        <source>— %n more waiting</source>
        <translation>
            <numerusform>— %n more waiting</numerusform>
            <numerusform>— %n more waiting</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files</source>
        <translation>
            <numerusform>%1 of %n file</numerusform>
            <numerusform>%1 of %n files</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ActionStatusLine</name>
    <message numerus="yes">
        <source>%1 — %n more waiting</source>
        <translation>
            <numerusform>%1 — %n more waiting</numerusform>
            <numerusform>%1 — %n more waiting</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ArchiveListingView</name>
    <message numerus="yes">
        <source>more than %Ln entries</source>
        <translation>
            <numerusform>more than %Ln entry</numerusform>
            <numerusform>more than %Ln entries</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation>
            <numerusform>%Ln file</numerusform>
            <numerusform>%Ln files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>at least %Ln files</source>
        <translation>
            <numerusform>at least %Ln file</numerusform>
            <numerusform>at least %Ln files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, %Ln folders</source>
        <translation>
            <numerusform>%1, %Ln folder</numerusform>
            <numerusform>%1, %Ln folders</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Reading this archive took too long: the list stops after %Ln entries.</source>
        <translation>
            <numerusform>Reading this archive took too long: the list stops after %Ln entry.</numerusform>
            <numerusform>Reading this archive took too long: the list stops after %Ln entries.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>This archive has more than %Ln entries.</source>
        <translation>
            <numerusform>This archive has more than %Ln entry.</numerusform>
            <numerusform>This archive has more than %Ln entries.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Only the first %Ln are listed.</source>
        <translation>
            <numerusform>Only the first %Ln is listed.</numerusform>
            <numerusform>Only the first %Ln are listed.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Only the first %Ln entries are listed.</source>
        <translation>
            <numerusform>Only the first entry is listed.</numerusform>
            <numerusform>Only the first %Ln entries are listed.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln entries would be unpacked outside their folder (an absolute path or “..” in the name, or a link that points there). They are marked below.</source>
        <translation>
            <numerusform>%Ln entry would be unpacked outside its folder (an absolute path or “..” in the name, or a link that points there). It is marked below.</numerusform>
            <numerusform>%Ln entries would be unpacked outside their folder (an absolute path or “..” in the name, or a link that points there). They are marked below.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>CONTENTS (%Ln)</source>
        <translation>
            <numerusform>CONTENTS (%Ln)</numerusform>
            <numerusform>CONTENTS (%Ln)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>FIRST %Ln ENTRIES</source>
        <translation>
            <numerusform>FIRST %Ln ENTRY</numerusform>
            <numerusform>FIRST %Ln ENTRIES</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FolderChildRowDelegate</name>
    <message numerus="yes">
        <source>%n items</source>
        <translation>
            <numerusform>%n item</numerusform>
            <numerusform>%n items</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FolderInspectorView</name>
    <message numerus="yes">
        <source>IMAGES (%n)</source>
        <translation>
            <numerusform>IMAGES (%n)</numerusform>
            <numerusform>IMAGES (%n)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>FOLDER CONTENTS (%n)</source>
        <translation>
            <numerusform>FOLDER CONTENTS (%n)</numerusform>
            <numerusform>FOLDER CONTENTS (%n)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n items</source>
        <translation>
            <numerusform>%n item</numerusform>
            <numerusform>%n items</numerusform>
        </translation>
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
            <numerusform>%n Image</numerusform>
            <numerusform>%n Images</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Folders</source>
        <translation>
            <numerusform>%n Folder</numerusform>
            <numerusform>%n Folders</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Files</source>
        <translation>
            <numerusform>%n File</numerusform>
            <numerusform>%n Files</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HistoryEntry</name>
    <message numerus="yes">
        <source>%n files</source>
        <translation>
            <numerusform>%n file</numerusform>
            <numerusform>%n files</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HistoryListModel</name>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>and %n more</numerusform>
            <numerusform>and %n more</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HistoryUndo</name>
    <message numerus="yes">
        <source>%1 (%n under new names, because theirs are taken there)</source>
        <translation>
            <numerusform>%1 (%n under a new name, because its name is taken there)</numerusform>
            <numerusform>%1 (%n under new names, because theirs are taken there)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>and %n more</numerusform>
            <numerusform>and %n more</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LookAlikeGrouper</name>
    <message numerus="yes">
        <source>%n alike: %1 … %2</source>
        <translation>
            <numerusform>%n alike: %1 … %2</numerusform>
            <numerusform>%n alike: %1 … %2</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NewDownloadNotifier</name>
    <message numerus="yes">
        <source>%n new downloads</source>
        <translation>
            <numerusform>%n new download</numerusform>
            <numerusform>%n new downloads</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>and %n more</numerusform>
            <numerusform>and %n more</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RelativeTimeFormatter</name>
    <message numerus="yes">
        <source>%n years ago</source>
        <translation>
            <numerusform>%n year ago</numerusform>
            <numerusform>%n years ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n years</source>
        <translation>
            <numerusform>in %n year</numerusform>
            <numerusform>in %n years</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n months ago</source>
        <translation>
            <numerusform>%n month ago</numerusform>
            <numerusform>%n months ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n months</source>
        <translation>
            <numerusform>in %n month</numerusform>
            <numerusform>in %n months</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n weeks ago</source>
        <translation>
            <numerusform>%n week ago</numerusform>
            <numerusform>%n weeks ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n weeks</source>
        <translation>
            <numerusform>in %n week</numerusform>
            <numerusform>in %n weeks</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n days ago</source>
        <translation>
            <numerusform>%n day ago</numerusform>
            <numerusform>%n days ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n days</source>
        <translation>
            <numerusform>in %n day</numerusform>
            <numerusform>in %n days</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hours ago</source>
        <translation>
            <numerusform>%n hour ago</numerusform>
            <numerusform>%n hours ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n hours</source>
        <translation>
            <numerusform>in %n hour</numerusform>
            <numerusform>in %n hours</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minutes ago</source>
        <translation>
            <numerusform>%n minute ago</numerusform>
            <numerusform>%n minutes ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n minutes</source>
        <translation>
            <numerusform>in %n minute</numerusform>
            <numerusform>in %n minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n seconds ago</source>
        <translation>
            <numerusform>%n second ago</numerusform>
            <numerusform>%n seconds ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n seconds</source>
        <translation>
            <numerusform>in %n second</numerusform>
            <numerusform>in %n seconds</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TrayStatusItem</name>
    <message numerus="yes">
        <source>Stowbird: %n waiting</source>
        <translation>
            <numerusform>Stowbird: %n waiting</numerusform>
            <numerusform>Stowbird: %n waiting</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TriageContainerView</name>
    <message numerus="yes">
        <source>%n items remaining</source>
        <translation>
            <numerusform>%n item remaining</numerusform>
            <numerusform>%n items remaining</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TriageEmptyPage</name>
    <message numerus="yes">
        <source>Review %n Skipped Files</source>
        <translation>
            <numerusform>Review %n Skipped File</numerusform>
            <numerusform>Review %n Skipped Files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n other folders</source>
        <translation>
            <numerusform>%1 and %n other folder</numerusform>
            <numerusform>%1 and %n other folders</numerusform>
        </translation>
    </message>
</context>
</TS>
