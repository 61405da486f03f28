<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
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
    <name>TriageContainerView</name>
    <message numerus="yes">
        <source>%1 and %n other folders</source>
        <translation>
            <numerusform>%1 and %n other folder</numerusform>
            <numerusform>%1 and %n other folders</numerusform>
        </translation>
    </message>
</context>
</TS>
