<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>ActionCanceller</name>
    <message>
        <source>Cancelling %1…</source>
        <translation>Annulation de %1…</translation>
    </message>
    <message>
        <source>Too late to cancel: %1 is copied whole, and the original is being removed</source>
        <translation>Trop tard pour annuler&#xa0;: %1 est copié en entier et l’original est en cours de suppression</translation>
    </message>
    <message>
        <source>Nothing to cancel</source>
        <translation>Rien à annuler</translation>
    </message>
    <message>
        <source>Gave up waiting: %1 is not responding. %2 of %3 moved; %4</source>
        <translation>Attente abandonnée&#xa0;: %1 ne répond pas. %2 sur %3 déplacés&#xa0;; %4</translation>
    </message>
    <message>
        <source>Cancelled moving %1 to %2: the folder is not responding. %1 is back in the queue; the partial copy is removed if the folder answers again</source>
        <translation>Déplacement de %1 vers %2 annulé&#xa0;: le dossier ne répond pas. %1 est de retour dans la file&#xa0;; la copie partielle sera supprimée si le dossier répond à nouveau</translation>
    </message>
    <message>
        <source>Gave up waiting: %1 is not responding</source>
        <translation>Attente abandonnée&#xa0;: %1 ne répond pas</translation>
    </message>
</context>
<context>
    <name>ActionJob</name>
    <message>
        <source>the move of %1 to %2</source>
        <translation>le déplacement de %1 vers %2</translation>
    </message>
    <message>
        <source>the move of %1 to the Trash</source>
        <translation>la mise à la corbeille de %1</translation>
    </message>
    <message>
        <source>the rename of %1</source>
        <translation>le renommage de %1</translation>
    </message>
    <message>
        <source>the running action</source>
        <translation>l’action en cours</translation>
    </message>
    <message>
        <source>Moving %1 to %2</source>
        <translation>Déplacement de %1 vers %2</translation>
    </message>
    <message>
        <source>Moving %1 to the Trash</source>
        <translation>Mise à la corbeille de %1</translation>
    </message>
    <message>
        <source>Renaming %1</source>
        <translation>Renommage de %1</translation>
    </message>
    <message>
        <source>Undoing the last action</source>
        <translation>Annulation de la dernière action</translation>
    </message>
    <message>
        <source>Removing partial copies left by an interrupted move</source>
        <translation>Suppression des copies partielles laissées par un déplacement interrompu</translation>
    </message>
    <message>
        <source>Move %1 to %2</source>
        <translation>Déplacer %1 vers %2</translation>
    </message>
    <message>
        <source>Move %1 to the Trash</source>
        <translation>Mettre %1 à la corbeille</translation>
    </message>
    <message>
        <source>Rename %1</source>
        <translation>Renommer %1</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>the Trash</source>
        <translation>la corbeille</translation>
    </message>
    <message>
        <source>Cancelled moving %1 to %2; they are back in the queue</source>
        <translation>Déplacement de %1 vers %2 annulé&#xa0;; ils sont de retour dans la file</translation>
    </message>
    <message>
        <source>Cancelled moving %1 to %2; it is back in the queue</source>
        <translation>Déplacement de %1 vers %2 annulé&#xa0;; il est de retour dans la file</translation>
    </message>
    <message>
        <source>Cancelled moving %1 to the Trash; it is back in the queue</source>
        <translation>Mise à la corbeille de %1 annulée&#xa0;; il est de retour dans la file</translation>
    </message>
    <message>
        <source>Cancelled renaming %1</source>
        <translation>Renommage de %1 annulé</translation>
    </message>
    <message>
        <source>Cancelled the undo; nothing changed</source>
        <translation>Annulation abandonnée&#xa0;; rien n’a changé</translation>
    </message>
    <message>
        <source>Cancelled the removal of partial copies</source>
        <translation>Suppression des copies partielles annulée</translation>
    </message>
    <message>
        <source>Still moving %1 to %2</source>
        <translation>Déplacement de %1 vers %2 toujours en cours</translation>
    </message>
    <message>
        <source>Still moving %1 to the Trash</source>
        <translation>Mise à la corbeille de %1 toujours en cours</translation>
    </message>
    <message>
        <source>Still renaming %1</source>
        <translation>Renommage de %1 toujours en cours</translation>
    </message>
    <message>
        <source>Still undoing</source>
        <translation>Annulation toujours en cours</translation>
    </message>
    <message>
        <source>Still cleaning up</source>
        <translation>Nettoyage toujours en cours</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files, %2 of %3</source>
        <translation>
            <numerusform>%1 sur %n fichier, %2 sur %3</numerusform>
            <numerusform>%1 sur %n fichiers, %2 sur %3</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source>%1…</source>
        <translation>%1…</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
    </message>
    <message>
        <source>it is back in the queue</source>
        <translation>il est de retour dans la file</translation>
    </message>
    <message numerus="yes">
        <source>all %n are back in the queue</source>
        <translation>
            <numerusform>il est de retour dans la file</numerusform>
            <numerusform>les %n sont de retour dans la file</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n are back in the queue</source>
        <translation>
            <numerusform>%n est de retour dans la file</numerusform>
            <numerusform>%n sont de retour dans la file</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ActionPaletteView</name>
    <message>
        <source>Volume unmounted or path missing: click to create the folder</source>
        <translation>Volume démonté ou chemin absent&#xa0;: cliquez pour créer le dossier</translation>
    </message>
    <message>
        <source>Slot %1: %2</source>
        <translation>Emplacement %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Key %1 moves the item to %2</source>
        <translation>La touche %1 déplace l’élément vers %2</translation>
    </message>
    <message>
        <source>Folder missing: %1</source>
        <translation>Dossier absent&#xa0;: %1</translation>
    </message>
    <message>
        <source>Suggested (%1). %2</source>
        <translation>Suggéré (%1). %2</translation>
    </message>
    <message>
        <source>Suggested destination: %1</source>
        <translation>Destination suggérée&#xa0;: %1</translation>
    </message>
    <message>
        <source>%1 moves the item to %2</source>
        <translation>%1 déplace l’élément vers %2</translation>
    </message>
    <message>
        <source>Custom Destination (Browse...)</source>
        <translation>Autre destination (Parcourir…)</translation>
    </message>
    <message>
        <source>Key %1 moves the item to a folder you choose</source>
        <translation>La touche %1 déplace l’élément vers un dossier de votre choix</translation>
    </message>
    <message>
        <source>Custom Destination</source>
        <translation>Autre destination</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Parcourir…</translation>
    </message>
    <message>
        <source>Inline Rename (%1)</source>
        <translation>Renommer ici (%1)</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Renommer</translation>
    </message>
    <message>
        <source>Rename the item in place (%1)</source>
        <translation>Renommer l’élément sur place (%1)</translation>
    </message>
    <message>
        <source>Trash This Copy (%1)</source>
        <translation>Jeter cette copie (%1)</translation>
    </message>
    <message>
        <source>Moves this download to the Trash; the copy already filed stays</source>
        <translation>Met ce téléchargement à la corbeille&#xa0;; la copie déjà rangée reste</translation>
    </message>
    <message>
        <source>ROUTING DESTINATIONS</source>
        <translation>DESTINATIONS</translation>
    </message>
    <message>
        <source>Routing destinations</source>
        <translation>Destinations</translation>
    </message>
    <message>
        <source>ACTIONS</source>
        <translation>ACTIONS</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source>from %1</source>
        <translation>de %1</translation>
    </message>
    <message>
        <source>in %1</source>
        <translation>dans %1</translation>
    </message>
    <message>
        <source>%1, from %2</source>
        <translation>%1, de %2</translation>
    </message>
    <message>
        <source>%1, in %2</source>
        <translation>%1, dans %2</translation>
    </message>
    <message>
        <source>%1 moves all · %2 trashes all · %3 to look through</source>
        <translation>%1 déplace tout · %2 met tout à la corbeille · %3 pour parcourir</translation>
    </message>
    <message>
        <source>%1
Showing %2 of %3: %4</source>
        <translation>%1
Affichage de %2 sur %3&#xa0;: %4</translation>
    </message>
    <message>
        <source>Same as last: %1</source>
        <translation>Comme le précédent&#xa0;: %1</translation>
    </message>
    <message>
        <source>%1 moves the item to %2, where the last file went</source>
        <translation>%1 déplace l’élément vers %2, où est allé le dernier fichier</translation>
    </message>
    <message>
        <source>Added %1</source>
        <translation>Ajouté %1</translation>
    </message>
</context>
<context>
    <name>ActionProgressView</name>
    <message>
        <source>File action in progress</source>
        <translation>Opération sur un fichier en cours</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Cancel the running move (C)</source>
        <translation>Annuler le déplacement en cours (C)</translation>
    </message>
    <message>
        <source>Cancels the running move (C)</source>
        <translation>Annule le déplacement en cours (C)</translation>
    </message>
    <message>
        <source>about %1 s left</source>
        <translation>environ %1&#xa0;s restantes</translation>
    </message>
    <message>
        <source>about %1 min left</source>
        <translation>environ %1&#xa0;min restantes</translation>
    </message>
    <message>
        <source>about %1 h %2 min left</source>
        <translation>environ %1&#xa0;h %2&#xa0;min restantes</translation>
    </message>
    <message numerus="yes">
        <source>— %n more waiting</source>
        <translation>
            <numerusform>— %n autre en attente</numerusform>
            <numerusform>— %n autres en attente</numerusform>
        </translation>
    </message>
    <message>
        <source>%1
Waiting: %2</source>
        <translation>%1
En attente&#xa0;: %2</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files</source>
        <translation>
            <numerusform>%1 sur %n fichier</numerusform>
            <numerusform>%1 sur %n fichiers</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source>Cancelling…</source>
        <translation>Annulation…</translation>
    </message>
    <message>
        <source>Not responding</source>
        <translation>Ne répond pas</translation>
    </message>
</context>
<context>
    <name>ActionShortcutHint</name>
    <message>
        <source>Key: %1</source>
        <translation>Touche&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>ActionStatusLine</name>
    <message>
        <source>Quitting: cancelling %1…</source>
        <translation>Fermeture&#xa0;: annulation de %1…</translation>
    </message>
    <message>
        <source>%1 is not responding — press C to cancel</source>
        <translation>%1 ne répond pas — appuyez sur C pour annuler</translation>
    </message>
    <message numerus="yes">
        <source>%1 — %n more waiting</source>
        <translation>
            <numerusform>%1 — %n autre en attente</numerusform>
            <numerusform>%1 — %n autres en attente</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ActionUndoApplier</name>
    <message>
        <source>Nothing to undo: %1 failed (%2)</source>
        <translation>Rien à annuler&#xa0;: %1 a échoué (%2)</translation>
    </message>
    <message>
        <source>Nothing to undo</source>
        <translation>Rien à annuler</translation>
    </message>
    <message>
        <source>Cannot undo: the %1 in the Trash is not the one moved there from %2; nothing was restored</source>
        <translation>Annulation impossible&#xa0;: le %1 dans la corbeille n’est pas celui qui y a été déplacé depuis %2&#xa0;; rien n’a été restauré</translation>
    </message>
    <message>
        <source>Cannot undo: the %1 in %2 is not the file moved there (it was replaced or changed since); nothing was moved</source>
        <translation>Annulation impossible&#xa0;: le %1 dans %2 n’est pas le fichier qui y a été déplacé (il a été remplacé ou modifié depuis)&#xa0;; rien n’a été déplacé</translation>
    </message>
    <message>
        <source>Cannot undo: %1 is not the file renamed to that name (it was replaced or changed since); nothing was renamed</source>
        <translation>Annulation impossible&#xa0;: %1 n’est pas le fichier renommé ainsi (il a été remplacé ou modifié depuis)&#xa0;; rien n’a été renommé</translation>
    </message>
    <message>
        <source>Nothing restored: %1 is no longer in the Trash</source>
        <translation>Rien n’a été restauré&#xa0;: %1 n’est plus dans la corbeille</translation>
    </message>
    <message>
        <source>Nothing restored: %1 is no longer in %2</source>
        <translation>Rien n’a été restauré&#xa0;: %1 n’est plus dans %2</translation>
    </message>
    <message>
        <source>Nothing restored: %1 is gone</source>
        <translation>Rien n’a été restauré&#xa0;: %1 a disparu</translation>
    </message>
    <message>
        <source>Restored %1 from the Trash to %2</source>
        <translation>%1 restauré de la corbeille vers %2</translation>
    </message>
    <message>
        <source>Restored %1 from the Trash to %2 as %3 (%1 was taken)</source>
        <translation>%1 restauré de la corbeille vers %2 sous le nom %3 (%1 était pris)</translation>
    </message>
    <message>
        <source>Undid move: %1 restored to %2</source>
        <translation>Déplacement annulé&#xa0;: %1 restauré dans %2</translation>
    </message>
    <message>
        <source>Undid rename: %1 is %2 again</source>
        <translation>Renommage annulé&#xa0;: %1 s’appelle de nouveau %2</translation>
    </message>
    <message>
        <source>the %1 in the Trash is not the one moved there</source>
        <translation>le %1 dans la corbeille n’est pas celui qui y a été déplacé</translation>
    </message>
    <message>
        <source>the %1 in %2 is not the file moved there (it was replaced or changed since)</source>
        <translation>le %1 dans %2 n’est pas le fichier qui y a été déplacé (il a été remplacé ou modifié depuis)</translation>
    </message>
    <message>
        <source>%1 is no longer in the Trash</source>
        <translation>%1 n’est plus dans la corbeille</translation>
    </message>
    <message>
        <source>%1 is no longer in %2</source>
        <translation>%1 n’est plus dans %2</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source>Cancelled the undo; nothing changed</source>
        <translation>Annulation abandonnée&#xa0;; rien n’a changé</translation>
    </message>
    <message>
        <source>Nothing restored</source>
        <translation>Rien n’a été restauré</translation>
    </message>
    <message>
        <source>Cancelled the undo after %1 (back in %2); the other %3 can still be undone</source>
        <translation>Annulation interrompue après %1 (de retour dans %2)&#xa0;; les %3 autres peuvent encore être annulés</translation>
    </message>
    <message>
        <source>Undid move of %1: restored to %2</source>
        <translation>Déplacement de %1 annulé&#xa0;: restauré dans %2</translation>
    </message>
    <message>
        <source>%1. Not restored: %2</source>
        <translation>%1. Non restauré&#xa0;: %2</translation>
    </message>
    <message>
        <source>Nothing restored: %1 is gone since it was skipped</source>
        <translation>Rien n’a été restauré&#xa0;: %1 a disparu depuis qu’il a été ignoré</translation>
    </message>
    <message>
        <source>Undid skip: %1 is back</source>
        <translation>Saut annulé&#xa0;: %1 est de retour</translation>
    </message>
</context>
<context>
    <name>AppConfig</name>
    <message>
        <source>Documents</source>
        <translation>Documents</translation>
    </message>
    <message>
        <source>Work Projects</source>
        <translation>Projets professionnels</translation>
    </message>
    <message>
        <source>Invoices &amp; Finance</source>
        <translation>Factures et finances</translation>
    </message>
    <message>
        <source>Screenshots</source>
        <translation>Captures d’écran</translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>History is unavailable: %1</source>
        <translation>L’historique est indisponible&#xa0;: %1</translation>
    </message>
    <message>
        <source>Organize Downloads</source>
        <translation>Trier les téléchargements</translation>
    </message>
    <message>
        <source>Scan %1 Now</source>
        <translation>Analyser %1 maintenant</translation>
    </message>
    <message>
        <source>Clear Skipped Files</source>
        <translation>Vider les fichiers ignorés</translation>
    </message>
    <message>
        <source>Force Reset Queue</source>
        <translation>Forcer la réinitialisation de la file</translation>
    </message>
    <message>
        <source>Open Log File...</source>
        <translation>Ouvrir le journal…</translation>
    </message>
    <message>
        <source>Check for Updates...</source>
        <translation>Rechercher des mises à jour…</translation>
    </message>
    <message>
        <source>Preferences...</source>
        <translation>Préférences…</translation>
    </message>
    <message>
        <source>Quit Stowbird</source>
        <translation>Quitter Stowbird</translation>
    </message>
    <message>
        <source>To open it again, press %1 or start Stowbird from the applications menu.</source>
        <translation>Pour la rouvrir, appuyez sur %1 ou lancez Stowbird depuis le menu des applications.</translation>
    </message>
    <message>
        <source>To open it again, start Stowbird from the applications menu.</source>
        <translation>Pour la rouvrir, lancez Stowbird depuis le menu des applications.</translation>
    </message>
    <message>
        <source>Stowbird keeps watching your downloads</source>
        <translation>Stowbird continue de surveiller vos téléchargements</translation>
    </message>
    <message>
        <source>This desktop has no tray for its icon. %1</source>
        <translation>Ce bureau n’a pas de zone de notification pour son icône. %1</translation>
    </message>
</context>
<context>
    <name>AppError</name>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>AppcastUpdater</name>
    <message>
        <source>The update feed is too large.</source>
        <translation>Le flux de mises à jour est trop volumineux.</translation>
    </message>
    <message>
        <source>The update feed was redirected to an address that is not https.</source>
        <translation>Le flux de mises à jour a été redirigé vers une adresse qui n’est pas en https.</translation>
    </message>
    <message>
        <source>The update feed answered HTTP %1.</source>
        <translation>Le flux de mises à jour a répondu HTTP %1.</translation>
    </message>
    <message>
        <source>The update feed could not be fetched: %1.</source>
        <translation>Le flux de mises à jour n’a pas pu être récupéré&#xa0;: %1.</translation>
    </message>
    <message>
        <source>The update feed could not be read: %1.</source>
        <translation>Le flux de mises à jour n’a pas pu être lu&#xa0;: %1.</translation>
    </message>
</context>
<context>
    <name>ArchiveListingView</name>
    <message>
        <source>Archive contents</source>
        <translation>Contenu de l’archive</translation>
    </message>
    <message numerus="yes">
        <source>more than %Ln entries</source>
        <translation>
            <numerusform>plus de %Ln entrée</numerusform>
            <numerusform>plus de %Ln entrées</numerusform>
        </translation>
    </message>
    <message>
        <source>empty</source>
        <translation>vide</translation>
    </message>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation>
            <numerusform>%Ln fichier</numerusform>
            <numerusform>%Ln fichiers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>at least %Ln files</source>
        <translation>
            <numerusform>au moins %Ln fichier</numerusform>
            <numerusform>au moins %Ln fichiers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, %Ln folders</source>
        <translation>
            <numerusform>%1, %Ln dossier</numerusform>
            <numerusform>%1, %Ln dossiers</numerusform>
        </translation>
    </message>
    <message>
        <source>at least %1</source>
        <translation>au moins %1</translation>
    </message>
    <message>
        <source>This archive is damaged or incomplete: the list ends where it could no longer be read.</source>
        <translation>Cette archive est endommagée ou incomplète&#xa0;: la liste s’arrête là où elle n’a plus pu être lue.</translation>
    </message>
    <message numerus="yes">
        <source>Reading this archive took too long: the list stops after %Ln entries.</source>
        <translation>
            <numerusform>La lecture de cette archive a pris trop de temps&#xa0;: la liste s’arrête après %Ln entrée.</numerusform>
            <numerusform>La lecture de cette archive a pris trop de temps&#xa0;: la liste s’arrête après %Ln entrées.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>This archive has more than %Ln entries.</source>
        <translation>
            <numerusform>Cette archive contient plus de %Ln entrée.</numerusform>
            <numerusform>Cette archive contient plus de %Ln entrées.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Only the first %Ln are listed.</source>
        <translation>
            <numerusform>Seule la première (%Ln) est listée.</numerusform>
            <numerusform>Seules les %Ln premières sont listées.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Only the first %Ln entries are listed.</source>
        <translation>
            <numerusform>Seule %Ln entrée est listée.</numerusform>
            <numerusform>Seules les %Ln premières entrées sont listées.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln entries would be unpacked outside their folder (an absolute path or “..” in the name, or a link that points there). They are marked below.</source>
        <translation>
            <numerusform>%Ln entrée serait décompressée hors de son dossier (un chemin absolu ou «&#xa0;..&#xa0;» dans le nom, ou un lien qui y pointe). Elle est signalée ci-dessous.</numerusform>
            <numerusform>%Ln entrées seraient décompressées hors de leur dossier (un chemin absolu ou «&#xa0;..&#xa0;» dans le nom, ou un lien qui y pointe). Elles sont signalées ci-dessous.</numerusform>
        </translation>
    </message>
    <message>
        <source>Unpacked, this would take %1, over %2 times the size of the archive: it could fill the disk.</source>
        <translation>Décompressée, elle occuperait %1, plus de %2 fois la taille de l’archive&#xa0;: elle pourrait remplir le disque.</translation>
    </message>
    <message>
        <source>Some entries are encrypted.</source>
        <translation>Certaines entrées sont chiffrées.</translation>
    </message>
    <message>
        <source>This archive is empty.</source>
        <translation>Cette archive est vide.</translation>
    </message>
    <message numerus="yes">
        <source>CONTENTS (%Ln)</source>
        <translation>
            <numerusform>CONTENU (%Ln)</numerusform>
            <numerusform>CONTENU (%Ln)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>FIRST %Ln ENTRIES</source>
        <translation>
            <numerusform>%Ln PREMIÈRE ENTRÉE</numerusform>
            <numerusform>%Ln PREMIÈRES ENTRÉES</numerusform>
        </translation>
    </message>
    <message>
        <source>This name leads outside the folder the archive would be unpacked into.</source>
        <translation>Ce nom mène hors du dossier dans lequel l’archive serait décompressée.</translation>
    </message>
</context>
<context>
    <name>BlockingProblems</name>
    <message>
        <source>New downloads in %1 may not be seen: the system&apos;s limit of watched folders is reached.</source>
        <translation>Les nouveaux téléchargements dans %1 risquent de ne pas être vus&#xa0;: la limite du système en dossiers surveillés est atteinte.</translation>
    </message>
    <message>
        <source>Raise fs.inotify.max_user_watches (for example: sudo sysctl fs.inotify.max_user_watches=524288).</source>
        <translation>Augmentez fs.inotify.max_user_watches (par exemple&#xa0;: sudo sysctl fs.inotify.max_user_watches=524288).</translation>
    </message>
    <message>
        <source>New downloads in %1 cannot be seen: the system&apos;s limit of folder watchers is reached.</source>
        <translation>Les nouveaux téléchargements dans %1 ne peuvent pas être vus&#xa0;: la limite du système en observateurs de dossiers est atteinte.</translation>
    </message>
    <message>
        <source>Raise fs.inotify.max_user_instances (for example: sudo sysctl fs.inotify.max_user_instances=512) or close programs that watch many folders.</source>
        <translation>Augmentez fs.inotify.max_user_instances (par exemple&#xa0;: sudo sysctl fs.inotify.max_user_instances=512) ou fermez des programmes qui surveillent de nombreux dossiers.</translation>
    </message>
    <message>
        <source>New downloads in %1 cannot be seen: the folder does not exist.</source>
        <translation>Les nouveaux téléchargements dans %1 ne peuvent pas être vus&#xa0;: le dossier n’existe pas.</translation>
    </message>
    <message>
        <source>Create the folder again: it is watched from the moment it exists.</source>
        <translation>Recréez le dossier&#xa0;: il est surveillé dès qu’il existe.</translation>
    </message>
    <message>
        <source>New downloads in %1 cannot be seen: Stowbird may not read the folder (%2).</source>
        <translation>Les nouveaux téléchargements dans %1 ne peuvent pas être vus&#xa0;: Stowbird n’a pas le droit de lire le dossier (%2).</translation>
    </message>
    <message>
        <source>Give yourself read access to the folder, for example: chmod u+rwx %1</source>
        <translation>Donnez-vous l’accès en lecture au dossier, par exemple&#xa0;: chmod u+rwx %1</translation>
    </message>
    <message>
        <source>New downloads in %1 cannot be seen: %2.</source>
        <translation>Les nouveaux téléchargements dans %1 ne peuvent pas être vus&#xa0;: %2.</translation>
    </message>
    <message>
        <source>Restart Stowbird; the log has the details.</source>
        <translation>Redémarrez Stowbird&#xa0;; le journal donne les détails.</translation>
    </message>
    <message>
        <source>The history cannot be written: %1.</source>
        <translation>L’historique ne peut pas être écrit&#xa0;: %1.</translation>
    </message>
    <message>
        <source>Free some disk space or make %1 writable; filing goes on meanwhile.</source>
        <translation>Libérez de l’espace disque ou rendez %1 accessible en écriture&#xa0;; le rangement continue en attendant.</translation>
    </message>
    <message>
        <source>Make %1 writable; they are saved again at the next change.</source>
        <translation>Rendez %1 accessible en écriture&#xa0;; ils seront enregistrés à la prochaine modification.</translation>
    </message>
</context>
<context>
    <name>CheatSheetOverlay</name>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Raccourcis clavier</translation>
    </message>
</context>
<context>
    <name>ConfigurationService</name>
    <message>
        <source>Could not create the folder %1</source>
        <translation>Impossible de créer le dossier %1</translation>
    </message>
    <message>
        <source>Your settings file could not be read; Stowbird started with defaults and will not save over %1.</source>
        <translation>Votre fichier de réglages n’a pas pu être lu&#xa0;; Stowbird a démarré avec les valeurs par défaut et n’écrasera pas %1.</translation>
    </message>
    <message>
        <source>Your settings file could not be read; Stowbird started with defaults and kept your file as %1</source>
        <translation>Votre fichier de réglages n’a pas pu être lu&#xa0;; Stowbird a démarré avec les valeurs par défaut et a conservé votre fichier sous %1</translation>
    </message>
    <message>
        <source>the unreadable file %1 could not be kept aside, so it is not written over</source>
        <translation>le fichier illisible %1 n’a pas pu être mis de côté, il n’est donc pas écrasé</translation>
    </message>
    <message>
        <source>Settings not saved. %1</source>
        <translation>Réglages non enregistrés. %1</translation>
    </message>
</context>
<context>
    <name>CreateFolderOffer</name>
    <message>
        <source>Create %1 and move the item there?</source>
        <translation>Créer %1 et y déplacer l’élément&#xa0;?</translation>
    </message>
    <message>
        <source>The folder %1 does not exist. Create it now?</source>
        <translation>Le dossier %1 n’existe pas. Le créer maintenant&#xa0;?</translation>
    </message>
    <message>
        <source>Return to confirm, Escape to cancel</source>
        <translation>Entrée pour confirmer, Échap pour annuler</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Leaves everything as it is (Escape)</source>
        <translation>Laisse tout en l’état (Échap)</translation>
    </message>
    <message>
        <source>%1 (Return)</source>
        <translation>%1 (Entrée)</translation>
    </message>
    <message>
        <source>Create folder</source>
        <translation>Créer le dossier</translation>
    </message>
</context>
<context>
    <name>DestinationPredictor</name>
    <message>
        <source>.%1 files from %2</source>
        <translation>fichiers .%1 de %2</translation>
    </message>
    <message>
        <source>files without an extension</source>
        <translation>fichiers sans extension</translation>
    </message>
    <message>
        <source>.%1 files</source>
        <translation>fichiers .%1</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>fichiers %1</translation>
    </message>
    <message>
        <source>files named “%1…”</source>
        <translation>fichiers nommés «&#xa0;%1…&#xa0;»</translation>
    </message>
    <message>
        <source>files named like this one</source>
        <translation>fichiers nommés comme celui-ci</translation>
    </message>
    <message>
        <source>files from %1</source>
        <translation>fichiers de %1</translation>
    </message>
    <message>
        <source>files of this size</source>
        <translation>fichiers de cette taille</translation>
    </message>
    <message>
        <source>Items like this one went to %1</source>
        <translation>Les éléments comme celui-ci sont allés dans %1</translation>
    </message>
    <message>
        <source>The last of the %1 went to %2</source>
        <translation>Le dernier des %1 est allé dans %2</translation>
    </message>
    <message>
        <source>%1 of the last %2 %3 went to %4</source>
        <translation>%1 des %2 derniers %3 sont allés dans %4</translation>
    </message>
</context>
<context>
    <name>DuplicateFinder</name>
    <message>
        <source>Identical to %1, also waiting</source>
        <translation>Identique à %1, aussi en attente</translation>
    </message>
    <message>
        <source>Identical to %1 in %2, filed %3</source>
        <translation>Identique à %1 dans %2, rangé %3</translation>
    </message>
    <message>
        <source>Identical to %1 in %2</source>
        <translation>Identique à %1 dans %2</translation>
    </message>
</context>
<context>
    <name>FileExecutionEngine</name>
    <message>
        <source>Cannot undo: &quot;%1&quot; already exists where the item was; nothing was replaced.</source>
        <translation>Annulation impossible&#xa0;: «&#xa0;%1&#xa0;» existe déjà là où se trouvait l’élément&#xa0;; rien n’a été remplacé.</translation>
    </message>
    <message>
        <source>Destination directory does not exist: %1</source>
        <translation>Le dossier de destination n’existe pas&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>FileMover</name>
    <message>
        <source>Could not move the item</source>
        <translation>Impossible de déplacer l’élément</translation>
    </message>
    <message>
        <source>Could not move the item: the original cannot be removed</source>
        <translation>Impossible de déplacer l’élément&#xa0;: l’original ne peut pas être supprimé</translation>
    </message>
</context>
<context>
    <name>FileNaming</name>
    <message>
        <source>The name is empty.</source>
        <translation>Le nom est vide.</translation>
    </message>
    <message>
        <source>The name &quot;%1&quot; is reserved by the file system.</source>
        <translation>Le nom «&#xa0;%1&#xa0;» est réservé par le système de fichiers.</translation>
    </message>
    <message>
        <source>A name cannot contain &quot;/&quot;.</source>
        <translation>Un nom ne peut pas contenir «&#xa0;/&#xa0;».</translation>
    </message>
    <message>
        <source>A name cannot contain a NUL character.</source>
        <translation>Un nom ne peut pas contenir de caractère NUL.</translation>
    </message>
</context>
<context>
    <name>FolderChildRowDelegate</name>
    <message numerus="yes">
        <source>%n items</source>
        <translation>
            <numerusform>%n élément</numerusform>
            <numerusform>%n éléments</numerusform>
        </translation>
    </message>
    <message>
        <source>Reveal in File Manager</source>
        <translation>Afficher dans le gestionnaire de fichiers</translation>
    </message>
</context>
<context>
    <name>FolderInspectorView</name>
    <message>
        <source>File Manager</source>
        <translation>Gestionnaire de fichiers</translation>
    </message>
    <message>
        <source>Reveal folder in File Manager (Ctrl+O)</source>
        <translation>Afficher le dossier dans le gestionnaire de fichiers (Ctrl+O)</translation>
    </message>
    <message>
        <source>Reveal folder in File Manager</source>
        <translation>Afficher le dossier dans le gestionnaire de fichiers</translation>
    </message>
    <message>
        <source>Shows the folder in the file manager (Ctrl+O)</source>
        <translation>Affiche le dossier dans le gestionnaire de fichiers (Ctrl+O)</translation>
    </message>
    <message numerus="yes">
        <source>IMAGES (%n)</source>
        <translation>
            <numerusform>IMAGES (%n)</numerusform>
            <numerusform>IMAGES (%n)</numerusform>
        </translation>
    </message>
    <message>
        <source>Click to preview</source>
        <translation>Cliquez pour un aperçu</translation>
    </message>
    <message numerus="yes">
        <source>FOLDER CONTENTS (%n)</source>
        <translation>
            <numerusform>CONTENU DU DOSSIER (%n)</numerusform>
            <numerusform>CONTENU DU DOSSIER (%n)</numerusform>
        </translation>
    </message>
    <message>
        <source>Folder is empty</source>
        <translation>Le dossier est vide</translation>
    </message>
    <message numerus="yes">
        <source>%n items</source>
        <translation>
            <numerusform>%n élément</numerusform>
            <numerusform>%n éléments</numerusform>
        </translation>
    </message>
    <message>
        <source>Back to Folder</source>
        <translation>Retour au dossier</translation>
    </message>
    <message>
        <source>Returns to the folder&apos;s contents</source>
        <translation>Revient au contenu du dossier</translation>
    </message>
    <message>
        <source>Reveal file in File Manager</source>
        <translation>Afficher le fichier dans le gestionnaire de fichiers</translation>
    </message>
    <message>
        <source>Shows %1 in the file manager</source>
        <translation>Affiche %1 dans le gestionnaire de fichiers</translation>
    </message>
</context>
<context>
    <name>FolderListing</name>
    <message numerus="yes">
        <source>%n PDFs</source>
        <translation>
            <numerusform>%n PDF</numerusform>
            <numerusform>%n PDF</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Images</source>
        <translation>
            <numerusform>%n image</numerusform>
            <numerusform>%n images</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Folders</source>
        <translation>
            <numerusform>%n dossier</numerusform>
            <numerusform>%n dossiers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Files</source>
        <translation>
            <numerusform>%n fichier</numerusform>
            <numerusform>%n fichiers</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FreedesktopTrash</name>
    <message>
        <source>The item is not inside a trash.</source>
        <translation>L’élément n’est pas dans une corbeille.</translation>
    </message>
    <message>
        <source>Could not restore the item</source>
        <translation>Impossible de restaurer l’élément</translation>
    </message>
    <message>
        <source>The trash does not say where the item came from.</source>
        <translation>La corbeille n’indique pas d’où vient l’élément.</translation>
    </message>
</context>
<context>
    <name>GeneralSettingsSection</name>
    <message>
        <source>General</source>
        <translation>Général</translation>
    </message>
    <message>
        <source>Launch Stowbird automatically at login</source>
        <translation>Lancer à l’ouverture de session</translation>
    </message>
    <message>
        <source>Starts Stowbird in the tray when you log in; takes effect on Save</source>
        <translation>Démarre Stowbird dans la zone de notification à l’ouverture de session&#xa0;; s’applique à l’enregistrement</translation>
    </message>
    <message>
        <source>Open System Settings</source>
        <translation>Ouvrir les paramètres du système</translation>
    </message>
    <message>
        <source>Opens the folder of login items</source>
        <translation>Ouvre le dossier des programmes lancés à l’ouverture de session</translation>
    </message>
    <message>
        <source>Notifications:</source>
        <translation>Notifications&#xa0;:</translation>
    </message>
    <message>
        <source>Never</source>
        <translation>Jamais</translation>
    </message>
    <message>
        <source>New downloads never raise a notification</source>
        <translation>Les nouveaux téléchargements n’affichent jamais de notification</translation>
    </message>
    <message>
        <source>Without a tray</source>
        <translation>Sans zone de notification</translation>
    </message>
    <message>
        <source>New downloads raise a notification only when the desktop has no tray for the icon</source>
        <translation>Les nouveaux téléchargements affichent une notification seulement quand le bureau n’a pas de zone de notification pour l’icône</translation>
    </message>
    <message>
        <source>Always</source>
        <translation>Toujours</translation>
    </message>
    <message>
        <source>New downloads raise a notification whenever the window is hidden</source>
        <translation>Les nouveaux téléchargements affichent une notification chaque fois que la fenêtre est masquée</translation>
    </message>
    <message>
        <source>Notify of new downloads</source>
        <translation>Notifier les nouveaux téléchargements</translation>
    </message>
    <message>
        <source>While the window is hidden, a new download shows a notification with buttons to file it, trash it or open Stowbird: never, only when the desktop has no tray for the icon, or always. Saved with Save</source>
        <translation>Quand la fenêtre est masquée, un nouveau téléchargement affiche une notification avec des boutons pour le ranger, le mettre à la corbeille ou ouvrir Stowbird&#xa0;: jamais, seulement quand le bureau n’a pas de zone de notification pour l’icône, ou toujours. Enregistré avec Enregistrer</translation>
    </message>
    <message>
        <source>File Completion Debounce:</source>
        <translation>Délai de stabilisation&#xa0;:</translation>
    </message>
    <message>
        <source>File completion debounce</source>
        <translation>Délai de stabilisation des fichiers</translation>
    </message>
    <message>
        <source>Check for Updates...</source>
        <translation>Rechercher des mises à jour…</translation>
    </message>
    <message>
        <source>Looks for a newer Stowbird now</source>
        <translation>Cherche maintenant une version plus récente de Stowbird</translation>
    </message>
    <message>
        <source>Updates:</source>
        <translation>Mises à jour&#xa0;:</translation>
    </message>
    <message>
        <source>How long a download must stay unchanged before it is queued: %1</source>
        <translation>Durée pendant laquelle un téléchargement doit rester inchangé avant d’être mis en file&#xa0;: %1</translation>
    </message>
    <message>
        <source>%1s</source>
        <translation>%1&#xa0;s</translation>
    </message>
    <message>
        <source>Stowbird could not be set to launch at login: %1</source>
        <translation>Stowbird n’a pas pu être configuré pour se lancer à l’ouverture de session&#xa0;: %1</translation>
    </message>
    <message>
        <source>Launch at login could not be turned off: %1</source>
        <translation>Le lancement à l’ouverture de session n’a pas pu être désactivé&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>GlobalHotkey</name>
    <message>
        <source>&quot;%1&quot; is not a modifier key</source>
        <translation>«&#xa0;%1&#xa0;» n’est pas une touche de modification</translation>
    </message>
    <message>
        <source>no key is named</source>
        <translation>aucune touche n’est indiquée</translation>
    </message>
    <message>
        <source>a modifier alone is not a shortcut</source>
        <translation>une touche de modification seule n’est pas un raccourci</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a key</source>
        <translation>«&#xa0;%1&#xa0;» n’est pas une touche</translation>
    </message>
    <message>
        <source>a shortcut for the whole desktop needs a modifier key</source>
        <translation>un raccourci pour tout le bureau nécessite une touche de modification</translation>
    </message>
</context>
<context>
    <name>GlobalShortcutEditor</name>
    <message>
        <source>Open Stowbird from anywhere:</source>
        <translation>Ouvrir Stowbird de partout&#xa0;:</translation>
    </message>
    <message>
        <source>Turn Off</source>
        <translation>Désactiver</translation>
    </message>
    <message>
        <source>No shortcut opens Stowbird from anywhere; takes effect on Save</source>
        <translation>Aucun raccourci n’ouvre Stowbird de partout&#xa0;; s’applique à l’enregistrement</translation>
    </message>
    <message>
        <source>The shortcut in effect now</source>
        <translation>Le raccourci en vigueur</translation>
    </message>
    <message>
        <source>Global shortcut</source>
        <translation>Raccourci global</translation>
    </message>
    <message>
        <source>Press the new chord, with at least one of Ctrl, Alt, Shift or Super; takes effect on Save</source>
        <translation>Appuyez sur la nouvelle combinaison, avec au moins Ctrl, Alt, Maj ou Super&#xa0;; s’applique à l’enregistrement</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Désactivé</translation>
    </message>
    <message>
        <source>%1 cannot open Stowbird from anywhere: %2.</source>
        <translation>%1 ne peut pas ouvrir Stowbird de partout&#xa0;: %2.</translation>
    </message>
    <message>
        <source>%1 (being set up...)</source>
        <translation>%1 (configuration en cours…)</translation>
    </message>
    <message>
        <source>%1 (not set up)</source>
        <translation>%1 (non configuré)</translation>
    </message>
    <message>
        <source>%1 (not working)</source>
        <translation>%1 (ne fonctionne pas)</translation>
    </message>
    <message>
        <source>The shortcut could not be set up: %1. Launching Stowbird again also opens this window.</source>
        <translation>Le raccourci n’a pas pu être configuré&#xa0;: %1. Relancer Stowbird ouvre aussi cette fenêtre.</translation>
    </message>
    <message>
        <source>Global shortcut in effect</source>
        <translation>Raccourci global en vigueur</translation>
    </message>
</context>
<context>
    <name>GlobalShortcutService</name>
    <message>
        <source>&quot;%1&quot; is not a shortcut: %2</source>
        <translation>«&#xa0;%1&#xa0;» n’est pas un raccourci&#xa0;: %2</translation>
    </message>
    <message>
        <source>this desktop offers no global shortcuts to programs (no GlobalShortcuts portal, no X11 session)</source>
        <translation>ce bureau n’offre pas de raccourcis globaux aux programmes (pas de portail GlobalShortcuts, pas de session X11)</translation>
    </message>
</context>
<context>
    <name>GroupActionApplier</name>
    <message>
        <source>%1 failed: %2</source>
        <translation>Échec de %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Nothing moved to %1: %2; %3</source>
        <translation>Rien n’a été déplacé vers %1&#xa0;: %2&#xa0;; %3</translation>
    </message>
    <message>
        <source>Moved %1 of %2 to %3%4; %5; %6</source>
        <translation>%1 sur %2 déplacés vers %3%4&#xa0;; %5&#xa0;; %6</translation>
    </message>
    <message>
        <source>Cancelled moving %1 to %2</source>
        <translation>Déplacement de %1 vers %2 annulé</translation>
    </message>
    <message>
        <source>%1 after %2%3; %4</source>
        <translation>%1 après %2%3&#xa0;; %4</translation>
    </message>
    <message>
        <source>Moved %1 to Trash</source>
        <translation>%1 mis à la corbeille</translation>
    </message>
    <message>
        <source>Moved %1 to %2</source>
        <translation>%1 déplacé vers %2</translation>
    </message>
</context>
<context>
    <name>HistoryEntry</name>
    <message numerus="yes">
        <source>%n files</source>
        <translation>
            <numerusform>%n fichier</numerusform>
            <numerusform>%n fichiers</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HistoryListModel</name>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>et %n autre</numerusform>
            <numerusform>et %n autres</numerusform>
        </translation>
    </message>
    <message>
        <source>Downloads</source>
        <translation>Téléchargements</translation>
    </message>
    <message>
        <source>Moved to several folders</source>
        <translation>Déplacés vers plusieurs dossiers</translation>
    </message>
    <message>
        <source>Moved to %1</source>
        <translation>Déplacé vers %1</translation>
    </message>
    <message>
        <source>Moved to Trash</source>
        <translation>Mis à la corbeille</translation>
    </message>
    <message>
        <source>Renamed to %1</source>
        <translation>Renommé en %1</translation>
    </message>
    <message>
        <source>Skipped</source>
        <translation>Ignoré</translation>
    </message>
    <message>
        <source>Put back where they were</source>
        <translation>Remis à leur place</translation>
    </message>
    <message>
        <source>Put back in %1</source>
        <translation>Remis dans %1</translation>
    </message>
    <message>
        <source>just now</source>
        <translation>à l’instant</translation>
    </message>
    <message>
        <source>from %1</source>
        <translation>de %1</translation>
    </message>
    <message>
        <source>an undo</source>
        <translation>une annulation</translation>
    </message>
    <message>
        <source>partly undone</source>
        <translation>partiellement annulé</translation>
    </message>
    <message>
        <source>undone</source>
        <translation>annulé</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Corbeille</translation>
    </message>
</context>
<context>
    <name>HistoryRowDelegate</name>
    <message>
        <source>UNDO</source>
        <translation>ANNULATION</translation>
    </message>
    <message>
        <source>UNDONE</source>
        <translation>ANNULÉ</translation>
    </message>
    <message>
        <source>PARTLY UNDONE</source>
        <translation>PARTIELLEMENT ANNULÉ</translation>
    </message>
    <message>
        <source>%1 (slot %2)</source>
        <translation>%1 (emplacement %2)</translation>
    </message>
    <message>
        <source>%1  ·  from %2</source>
        <translation>%1  ·  de %2</translation>
    </message>
</context>
<context>
    <name>HistoryStore</name>
    <message>
        <source>%1, and it could not be kept aside (%2)</source>
        <translation>%1, et il n’a pas pu être mis de côté (%2)</translation>
    </message>
    <message>
        <source>The history could not be read (%1). It was kept as %2 and a new history was started.</source>
        <translation>L’historique n’a pas pu être lu (%1). Il a été conservé sous %2 et un nouvel historique a été commencé.</translation>
    </message>
    <message>
        <source>the history file could not be opened</source>
        <translation>le fichier d’historique n’a pas pu être ouvert</translation>
    </message>
    <message>
        <source>This action is already being undone</source>
        <translation>Cette action est déjà en cours d’annulation</translation>
    </message>
    <message>
        <source>History is unavailable: %1</source>
        <translation>L’historique est indisponible&#xa0;: %1</translation>
    </message>
    <message>
        <source>This action is no longer in the history</source>
        <translation>Cette action n’est plus dans l’historique</translation>
    </message>
    <message>
        <source>%1 could not be removed</source>
        <translation>%1 n’a pas pu être supprimé</translation>
    </message>
    <message>
        <source>The history could not be deleted: %1</source>
        <translation>L’historique n’a pas pu être effacé&#xa0;: %1</translation>
    </message>
    <message>
        <source>History deleted</source>
        <translation>Historique effacé</translation>
    </message>
</context>
<context>
    <name>HistoryUndo</name>
    <message>
        <source>trashed</source>
        <translation>mis à la corbeille</translation>
    </message>
    <message>
        <source>renamed</source>
        <translation>renommé</translation>
    </message>
    <message>
        <source>filed</source>
        <translation>rangé</translation>
    </message>
    <message>
        <source>%1 is back in %2</source>
        <translation>%1 est de retour dans %2</translation>
    </message>
    <message>
        <source>%1 is back in %2 as %3, because %1 is taken there</source>
        <translation>%1 est de retour dans %2 sous le nom %3, car %1 y est déjà pris</translation>
    </message>
    <message>
        <source>These %1 were only skipped: nothing to undo</source>
        <translation>Ces %1 ont seulement été ignorés&#xa0;: rien à annuler</translation>
    </message>
    <message>
        <source>An undo cannot be undone from the history</source>
        <translation>Une annulation ne peut pas être annulée depuis l’historique</translation>
    </message>
    <message>
        <source>These %1 were already put back</source>
        <translation>Ces %1 ont déjà été remis en place</translation>
    </message>
    <message>
        <source>back in %1</source>
        <translation>de retour dans %1</translation>
    </message>
    <message>
        <source>back where they were</source>
        <translation>de retour à leur place</translation>
    </message>
    <message>
        <source>None of the %1 could be put back</source>
        <translation>Aucun des %1 n’a pu être remis en place</translation>
    </message>
    <message>
        <source>%1 are %2</source>
        <translation>%1 sont %2</translation>
    </message>
    <message>
        <source>%1 of %2 are %3</source>
        <translation>%1 sur %2 sont %3</translation>
    </message>
    <message>
        <source>%1 (one under a new name, because its name is taken there)</source>
        <translation>%1 (un sous un nouveau nom, car le sien y est pris)</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n under new names, because theirs are taken there)</source>
        <translation>
            <numerusform>%1 (%n sous un nouveau nom, car le sien y est pris)</numerusform>
            <numerusform>%1 (%n sous de nouveaux noms, car les leurs y sont pris)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>et %n autre</numerusform>
            <numerusform>et %n autres</numerusform>
        </translation>
    </message>
    <message>
        <source>%1; not restored: %2</source>
        <translation>%1&#xa0;; non restaurés&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1 was already put back</source>
        <translation>%1 a déjà été remis en place</translation>
    </message>
    <message>
        <source>%1 was only skipped: nothing to undo</source>
        <translation>%1 a seulement été ignoré&#xa0;: rien à annuler</translation>
    </message>
    <message>
        <source>the Trash</source>
        <translation>la corbeille</translation>
    </message>
    <message>
        <source>%1 is no longer in %2</source>
        <translation>%1 n’est plus dans %2</translation>
    </message>
    <message>
        <source>%1 cannot be checked: the history does not know which file was %2</source>
        <translation>%1 ne peut pas être vérifié&#xa0;: l’historique ne sait pas quel fichier a été %2</translation>
    </message>
    <message>
        <source>%1 was changed since it was %2</source>
        <translation>%1 a été modifié depuis qu’il a été %2</translation>
    </message>
    <message>
        <source>%1 in %2 was replaced since it was %3</source>
        <translation>%1 dans %2 a été remplacé depuis qu’il a été %3</translation>
    </message>
    <message>
        <source>The Trash&apos;s record of %1 was replaced since it was trashed</source>
        <translation>L’enregistrement de %1 dans la corbeille a été remplacé depuis sa mise à la corbeille</translation>
    </message>
    <message>
        <source>%1 could not be restored: %2</source>
        <translation>%1 n’a pas pu être restauré&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1 cannot go back: %2 no longer exists</source>
        <translation>%1 ne peut pas revenir&#xa0;: %2 n’existe plus</translation>
    </message>
    <message>
        <source>%1 could not be put back: %2</source>
        <translation>%1 n’a pas pu être remis en place&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>HistoryView</name>
    <message>
        <source>History is unavailable: %1</source>
        <translation>L’historique est indisponible&#xa0;: %1</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Historique</translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation>Fermer (Échap)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Type to filter by name, folder or website</source>
        <translation>Tapez pour filtrer par nom, dossier ou site web</translation>
    </message>
    <message>
        <source>Filter the history</source>
        <translation>Filtrer l’historique</translation>
    </message>
    <message>
        <source>Past actions</source>
        <translation>Actions passées</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Sélectionner</translation>
    </message>
    <message>
        <source>Show in File Manager</source>
        <translation>Afficher le dossier</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>it could not be started</source>
        <translation>elle n’a pas pu être lancée</translation>
    </message>
    <message>
        <source>Nothing filed yet</source>
        <translation>Rien n’a encore été rangé</translation>
    </message>
    <message>
        <source>Nothing in the history matches “%1”</source>
        <translation>Rien dans l’historique ne correspond à «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>Putting back %1…</source>
        <translation>Remise en place de %1…</translation>
    </message>
</context>
<context>
    <name>InboxFolders</name>
    <message>
        <source>%1 is not a full folder path</source>
        <translation>%1 n’est pas un chemin de dossier complet</translation>
    </message>
    <message>
        <source>%1 is the Downloads folder, which is always watched</source>
        <translation>%1 est le dossier Téléchargements, qui est toujours surveillé</translation>
    </message>
    <message>
        <source>%1 is inside the Downloads folder</source>
        <translation>%1 se trouve dans le dossier Téléchargements</translation>
    </message>
    <message>
        <source>%1 holds the Downloads folder</source>
        <translation>%1 contient le dossier Téléchargements</translation>
    </message>
    <message>
        <source>%1 is watched already</source>
        <translation>%1 est déjà surveillé</translation>
    </message>
    <message>
        <source>%1 is inside %2, which is watched</source>
        <translation>%1 se trouve dans %2, qui est surveillé</translation>
    </message>
    <message>
        <source>%1 holds %2, which is watched</source>
        <translation>%1 contient %2, qui est surveillé</translation>
    </message>
</context>
<context>
    <name>InlineRenameView</name>
    <message>
        <source>New filename</source>
        <translation>Nouveau nom de fichier</translation>
    </message>
    <message>
        <source>New file name</source>
        <translation>Nouveau nom de fichier</translation>
    </message>
    <message>
        <source>Press Return to confirm, Escape to cancel</source>
        <translation>Entrée pour confirmer, Échap pour annuler</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Renommer</translation>
    </message>
    <message>
        <source>Confirm rename</source>
        <translation>Confirmer le renommage</translation>
    </message>
    <message>
        <source>Renames the item to the new name (Return)</source>
        <translation>Renomme l’élément avec le nouveau nom (Entrée)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Cancel rename</source>
        <translation>Annuler le renommage</translation>
    </message>
    <message>
        <source>Keeps the old name (Escape)</source>
        <translation>Garde l’ancien nom (Échap)</translation>
    </message>
</context>
<context>
    <name>JsonFile</name>
    <message>
        <source>Could not save %1: %2</source>
        <translation>Impossible d’enregistrer %1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>KeyboardCheatSheetView</name>
    <message>
        <source>Tip: You can press &apos;?&apos; at any time while triaging to view this cheat sheet.</source>
        <translation>Astuce&#xa0;: appuyez sur «&#xa0;?&#xa0;» à tout moment pendant le tri pour afficher cet aide-mémoire.</translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Raccourcis clavier</translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation>Fermer (Échap)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Closes the keyboard shortcuts (Esc)</source>
        <translation>Ferme les raccourcis clavier (Échap)</translation>
    </message>
    <message>
        <source>Got it</source>
        <translation>Compris</translation>
    </message>
    <message>
        <source>Closes the keyboard shortcuts</source>
        <translation>Ferme les raccourcis clavier</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Désactivé</translation>
    </message>
    <message>
        <source>Open Stowbird from anywhere on the desktop (not available here; see Preferences)</source>
        <translation>Ouvrir Stowbird depuis n’importe où sur le bureau (indisponible ici&#xa0;; voir les Préférences)</translation>
    </message>
    <message>
        <source>Open Stowbird from anywhere on the desktop (turned off in Preferences)</source>
        <translation>Ouvrir Stowbird depuis n’importe où sur le bureau (désactivé dans les Préférences)</translation>
    </message>
    <message>
        <source>Open Stowbird from anywhere on the desktop</source>
        <translation>Ouvrir Stowbird depuis n’importe où sur le bureau</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>LookAlikeGrouper</name>
    <message numerus="yes">
        <source>%n alike: %1 … %2</source>
        <translation>
            <numerusform>%n semblable&#xa0;: %1 … %2</numerusform>
            <numerusform>%n semblables&#xa0;: %1 … %2</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NewDownloadNotifier</name>
    <message>
        <source>Open Stowbird</source>
        <translation>Ouvrir Stowbird</translation>
    </message>
    <message>
        <source>New download</source>
        <translation>Nouveau téléchargement</translation>
    </message>
    <message numerus="yes">
        <source>%n new downloads</source>
        <translation>
            <numerusform>%n nouveau téléchargement</numerusform>
            <numerusform>%n nouveaux téléchargements</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>et %n autre</numerusform>
            <numerusform>et %n autres</numerusform>
        </translation>
    </message>
    <message>
        <source>File to %1</source>
        <translation>Ranger dans %1</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Corbeille</translation>
    </message>
    <message>
        <source>%1 was not moved to the Trash</source>
        <translation>%1 n’a pas été mis à la corbeille</translation>
    </message>
    <message>
        <source>%1 was not filed</source>
        <translation>%1 n’a pas été rangé</translation>
    </message>
    <message>
        <source>It is no longer waiting in Stowbird.</source>
        <translation>Il n’est plus en attente dans Stowbird.</translation>
    </message>
</context>
<context>
    <name>PreviewLoader</name>
    <message>
        <source>Folder</source>
        <translation>Dossier</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>Document</translation>
    </message>
    <message>
        <source>%1 File</source>
        <translation>Fichier %1</translation>
    </message>
    <message>
        <source>This file cannot be read.</source>
        <translation>Ce fichier ne peut pas être lu.</translation>
    </message>
    <message>
        <source>This PDF could not be opened.</source>
        <translation>Ce PDF n’a pas pu être ouvert.</translation>
    </message>
    <message>
        <source>Reading this archive took too long.</source>
        <translation>La lecture de cette archive a pris trop de temps.</translation>
    </message>
    <message>
        <source>The contents of this archive could not be read.</source>
        <translation>Le contenu de cette archive n’a pas pu être lu.</translation>
    </message>
    <message>
        <source>This image could not be read.</source>
        <translation>Cette image n’a pas pu être lue.</translation>
    </message>
</context>
<context>
    <name>PrivacySettingsSection</name>
    <message>
        <source>Privacy &amp; Diagnostics</source>
        <translation>Confidentialité et diagnostics</translation>
    </message>
    <message>
        <source>Suggest destinations from history</source>
        <translation>Suggérer des destinations d’après l’historique</translation>
    </message>
    <message>
        <source>Highlights where items like the current one went before; Return files it there. Learned from this computer&apos;s history only; takes effect on Save</source>
        <translation>Met en avant l’endroit où sont allés les éléments semblables à celui-ci&#xa0;; Entrée l’y range. Appris uniquement de l’historique de cet ordinateur&#xa0;; s’applique à l’enregistrement</translation>
    </message>
    <message>
        <source>Forget History…</source>
        <translation>Oublier l’historique…</translation>
    </message>
    <message>
        <source>Deletes the history of triage actions and what was learned from it, after asking</source>
        <translation>Efface l’historique des actions de tri et ce qui en a été appris, après confirmation</translation>
    </message>
    <message>
        <source>Send anonymous usage counts to the developers</source>
        <translation>Envoyer des statistiques d’utilisation anonymes aux développeurs</translation>
    </message>
    <message>
        <source>Once per session: counts of actions and kinds of files. Names, paths, contents and crash reports are never sent.</source>
        <translation>Une fois par session&#xa0;: nombre d’actions et types de fichiers. Les noms, chemins, contenus et rapports de plantage ne sont jamais envoyés.</translation>
    </message>
    <message>
        <source>Keep anonymous usage counts on this computer (nothing is sent)</source>
        <translation>Garder des statistiques d’utilisation anonymes sur cet ordinateur (rien n’est envoyé)</translation>
    </message>
    <message>
        <source>Crash reports stay here too. File names, folder paths and file contents are never recorded.</source>
        <translation>Les rapports de plantage restent aussi ici. Les noms de fichiers, chemins de dossiers et contenus de fichiers ne sont jamais enregistrés.</translation>
    </message>
    <message>
        <source>%1 Takes effect on Save.</source>
        <translation>%1 S’applique à l’enregistrement.</translation>
    </message>
    <message>
        <source>Forget the history? Every recorded action and what Stowbird learned from it is deleted, and earlier actions can no longer be undone from the history.</source>
        <translation>Oublier l’historique&#xa0;? Toutes les actions enregistrées et ce que Stowbird en a appris sont effacés, et les actions passées ne peuvent plus être annulées depuis l’historique.</translation>
    </message>
    <message>
        <source>Forget History</source>
        <translation>Oublier l’historique</translation>
    </message>
    <message>
        <source>Deleting the history…</source>
        <translation>Effacement de l’historique…</translation>
    </message>
</context>
<context>
    <name>QuickLookHostView</name>
    <message>
        <source>%1 at %2</source>
        <translation>%1 à %2</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Aperçu</translation>
    </message>
    <message>
        <source>Preview of %1</source>
        <translation>Aperçu de %1</translation>
    </message>
    <message>
        <source>Nothing to preview</source>
        <translation>Rien à prévisualiser</translation>
    </message>
    <message>
        <source>Showing the first %1 of this file.</source>
        <translation>Affichage des premiers %1 de ce fichier.</translation>
    </message>
    <message>
        <source>Created %1</source>
        <translation>Créé %1</translation>
    </message>
    <message>
        <source>Modified %1</source>
        <translation>Modifié %1</translation>
    </message>
    <message>
        <source>No preview could be made: %1</source>
        <translation>Aucun aperçu n’a pu être créé&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>RelativeTimeFormatter</name>
    <message numerus="yes">
        <source>%n years ago</source>
        <translation>
            <numerusform>il y a %n an</numerusform>
            <numerusform>il y a %n ans</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n years</source>
        <translation>
            <numerusform>dans %n an</numerusform>
            <numerusform>dans %n ans</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n months ago</source>
        <translation>
            <numerusform>il y a %n mois</numerusform>
            <numerusform>il y a %n mois</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n months</source>
        <translation>
            <numerusform>dans %n mois</numerusform>
            <numerusform>dans %n mois</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n weeks ago</source>
        <translation>
            <numerusform>il y a %n semaine</numerusform>
            <numerusform>il y a %n semaines</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n weeks</source>
        <translation>
            <numerusform>dans %n semaine</numerusform>
            <numerusform>dans %n semaines</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n days ago</source>
        <translation>
            <numerusform>il y a %n jour</numerusform>
            <numerusform>il y a %n jours</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n days</source>
        <translation>
            <numerusform>dans %n jour</numerusform>
            <numerusform>dans %n jours</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hours ago</source>
        <translation>
            <numerusform>il y a %n heure</numerusform>
            <numerusform>il y a %n heures</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n hours</source>
        <translation>
            <numerusform>dans %n heure</numerusform>
            <numerusform>dans %n heures</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minutes ago</source>
        <translation>
            <numerusform>il y a %n minute</numerusform>
            <numerusform>il y a %n minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n minutes</source>
        <translation>
            <numerusform>dans %n minute</numerusform>
            <numerusform>dans %n minutes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n seconds ago</source>
        <translation>
            <numerusform>il y a %n seconde</numerusform>
            <numerusform>il y a %n secondes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n seconds</source>
        <translation>
            <numerusform>dans %n seconde</numerusform>
            <numerusform>dans %n secondes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SettingsSheet</name>
    <message>
        <source>Stowbird Preferences</source>
        <translation>Préférences de Stowbird</translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>Stowbird Preferences</source>
        <translation>Préférences de Stowbird</translation>
    </message>
    <message>
        <source>Restore Defaults</source>
        <translation>Rétablir les valeurs par défaut</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Puts back the default slots, debounce delay and global shortcut; nothing changes before Save</source>
        <translation>Rétablit les emplacements, le délai de stabilisation et le raccourci global par défaut&#xa0;; rien ne change avant l’enregistrement</translation>
    </message>
    <message>
        <source>Closes the preferences; nothing changed here takes effect</source>
        <translation>Ferme les préférences&#xa0;; aucune modification faite ici ne s’applique</translation>
    </message>
    <message>
        <source>Saves every change made here (Return)</source>
        <translation>Enregistre toutes les modifications faites ici (Entrée)</translation>
    </message>
    <message>
        <source>Select Folder</source>
        <translation>Choisir un dossier</translation>
    </message>
</context>
<context>
    <name>SlotListEditor</name>
    <message>
        <source>Destination Slots (Keys 1-9)</source>
        <translation>Emplacements de destination (touches 1 à 9)</translation>
    </message>
    <message>
        <source>Add Slot</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Parcourir…</translation>
    </message>
    <message>
        <source>Browse for the slot %1 folder</source>
        <translation>Choisir le dossier de l’emplacement %1</translation>
    </message>
    <message>
        <source>Chooses the folder of slot %1</source>
        <translation>Choisit le dossier de l’emplacement %1</translation>
    </message>
    <message>
        <source>Move slot %1 up</source>
        <translation>Monter l’emplacement %1</translation>
    </message>
    <message>
        <source>Gives this slot key %1 (Alt+Up)</source>
        <translation>Donne à cet emplacement la touche %1 (Alt+Haut)</translation>
    </message>
    <message>
        <source>Move slot %1 down</source>
        <translation>Descendre l’emplacement %1</translation>
    </message>
    <message>
        <source>Gives this slot key %1 (Alt+Down)</source>
        <translation>Donne à cet emplacement la touche %1 (Alt+Bas)</translation>
    </message>
    <message>
        <source>Remove slot %1</source>
        <translation>Supprimer l’emplacement %1</translation>
    </message>
    <message>
        <source>Removes this slot; the slots below it move up a key</source>
        <translation>Supprime cet emplacement&#xa0;; ceux du dessous remontent d’une touche</translation>
    </message>
    <message>
        <source>Slot Name</source>
        <translation>Nom de l’emplacement</translation>
    </message>
    <message>
        <source>Slot %1 name</source>
        <translation>Nom de l’emplacement %1</translation>
    </message>
    <message>
        <source>The name shown for key %1; Alt+Up and Alt+Down move the slot</source>
        <translation>Le nom affiché pour la touche %1&#xa0;; Alt+Haut et Alt+Bas déplacent l’emplacement</translation>
    </message>
    <message>
        <source>Path (%1)</source>
        <translation>Chemin (%1)</translation>
    </message>
    <message>
        <source>Slot %1 folder</source>
        <translation>Dossier de l’emplacement %1</translation>
    </message>
    <message>
        <source>The folder that key %1 moves items to; ~ is your home folder</source>
        <translation>Le dossier où la touche %1 déplace les éléments&#xa0;; ~ est votre dossier personnel</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Créer</translation>
    </message>
    <message>
        <source>This folder does not exist: click to create it</source>
        <translation>Ce dossier n’existe pas&#xa0;: cliquez pour le créer</translation>
    </message>
    <message>
        <source>Create the missing slot %1 folder</source>
        <translation>Créer le dossier absent de l’emplacement %1</translation>
    </message>
    <message>
        <source>The folder of slot %1 does not exist</source>
        <translation>Le dossier de l’emplacement %1 n’existe pas</translation>
    </message>
    <message>
        <source>Adds a slot for key %1</source>
        <translation>Ajoute un emplacement pour la touche %1</translation>
    </message>
    <message>
        <source>Nine slots at most: keys 1 to 9 are all taken. Remove a slot to add another.</source>
        <translation>Neuf emplacements au plus&#xa0;: les touches 1 à 9 sont toutes prises. Supprimez-en un pour en ajouter un autre.</translation>
    </message>
    <message>
        <source>Not created: %1</source>
        <translation>Non créé&#xa0;: %1</translation>
    </message>
    <message>
        <source>Create Folder</source>
        <translation>Créer le dossier</translation>
    </message>
</context>
<context>
    <name>TrayStatusItem</name>
    <message>
        <source>Stowbird: Downloads Inbox Zero</source>
        <translation>Stowbird&#xa0;: Téléchargements vides</translation>
    </message>
    <message numerus="yes">
        <source>Stowbird: %n waiting</source>
        <translation>
            <numerusform>Stowbird&#xa0;: %n en attente</numerusform>
            <numerusform>Stowbird&#xa0;: %n en attente</numerusform>
        </translation>
    </message>
    <message>
        <source>Stowbird: Looking through Downloads…</source>
        <translation>Stowbird&#xa0;: examen des Téléchargements…</translation>
    </message>
    <message>
        <source>Stowbird: Finishing…</source>
        <translation>Stowbird&#xa0;: finalisation…</translation>
    </message>
    <message>
        <source>Stowbird: %1</source>
        <translation>Stowbird&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>TreeCopier</name>
    <message>
        <source>The item changed while it was being copied.</source>
        <translation>L’élément a changé pendant sa copie.</translation>
    </message>
    <message>
        <source>The copy does not match the original.</source>
        <translation>La copie ne correspond pas à l’original.</translation>
    </message>
    <message>
        <source>The link changed while it was being copied.</source>
        <translation>Le lien a changé pendant sa copie.</translation>
    </message>
</context>
<context>
    <name>TriageActionController</name>
    <message>
        <source>Cancelled; nothing changed</source>
        <translation>Annulé&#xa0;; rien n’a changé</translation>
    </message>
    <message>
        <source>Not moved: %1 is no longer waiting</source>
        <translation>Non déplacé&#xa0;: %1 n’est plus en attente</translation>
    </message>
    <message>
        <source>Moved %1 to Trash</source>
        <translation>%1 mis à la corbeille</translation>
    </message>
    <message>
        <source>Moved to %1: %2</source>
        <translation>Déplacé vers %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Failed to move: %1</source>
        <translation>Échec du déplacement&#xa0;: %1</translation>
    </message>
    <message>
        <source>Error: %1</source>
        <translation>Erreur&#xa0;: %1</translation>
    </message>
    <message>
        <source>Nothing filed yet: file one item first</source>
        <translation>Rien n’a encore été rangé&#xa0;: rangez d’abord un élément</translation>
    </message>
    <message>
        <source>Failed to trash file: %1</source>
        <translation>Échec de la mise à la corbeille&#xa0;: %1</translation>
    </message>
    <message>
        <source>Skipped %1</source>
        <translation>%1 ignoré</translation>
    </message>
    <message>
        <source>Renamed to %1</source>
        <translation>Renommé en %1</translation>
    </message>
    <message>
        <source>Renamed to %1 (%2 was taken)</source>
        <translation>Renommé en %1 (%2 était pris)</translation>
    </message>
    <message>
        <source>Rename error: %1</source>
        <translation>Erreur de renommage&#xa0;: %1</translation>
    </message>
    <message>
        <source>Undo error: %1</source>
        <translation>Erreur d’annulation&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>TriageContainerView</name>
    <message>
        <source>Move Here</source>
        <translation>Déplacer ici</translation>
    </message>
    <message>
        <source>Choose a Folder</source>
        <translation>Choisir un dossier</translation>
    </message>
    <message>
        <source>Inbox Zero</source>
        <translation>Tout est rangé</translation>
    </message>
    <message numerus="yes">
        <source>%n items remaining</source>
        <translation>
            <numerusform>%n élément restant</numerusform>
            <numerusform>%n éléments restants</numerusform>
        </translation>
    </message>
    <message>
        <source>Looking…</source>
        <translation>Recherche…</translation>
    </message>
    <message>
        <source>Finishing…</source>
        <translation>Finalisation…</translation>
    </message>
</context>
<context>
    <name>TriageEmptyPage</name>
    <message>
        <source>All completed downloads have been organized. Stowbird is actively monitoring %1 for new files.</source>
        <translation>Tous les téléchargements terminés ont été rangés. Stowbird surveille %1 pour les nouveaux fichiers.</translation>
    </message>
    <message>
        <source>Bring the skipped files back into the queue (%1)</source>
        <translation>Remettre les fichiers ignorés dans la file (%1)</translation>
    </message>
    <message>
        <source>Brings the skipped files back into the queue (%1)</source>
        <translation>Remet les fichiers ignorés dans la file (%1)</translation>
    </message>
    <message>
        <source>Stowbird is listing %1; the first file shows here as soon as it is found.</source>
        <translation>Stowbird parcourt %1&#xa0;; le premier fichier s’affiche ici dès qu’il est trouvé.</translation>
    </message>
    <message>
        <source>Stowbird is finishing the last file action; the item comes back here if it fails.</source>
        <translation>Stowbird termine la dernière opération sur un fichier&#xa0;; l’élément revient ici en cas d’échec.</translation>
    </message>
    <message numerus="yes">
        <source>Review %n Skipped Files</source>
        <translation>
            <numerusform>Revoir %n fichier ignoré</numerusform>
            <numerusform>Revoir %n fichiers ignorés</numerusform>
        </translation>
    </message>
    <message>
        <source>Looking through Downloads…</source>
        <translation>Examen des Téléchargements…</translation>
    </message>
    <message>
        <source>Finishing…</source>
        <translation>Finalisation…</translation>
    </message>
    <message>
        <source>Downloads Inbox Zero</source>
        <translation>Téléchargements vides</translation>
    </message>
    <message>
        <source>%1 and one other folder</source>
        <translation>%1 et un autre dossier</translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n other folders</source>
        <translation>
            <numerusform>%1 et %n autre dossier</numerusform>
            <numerusform>%1 et %n autres dossiers</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TriageHUDPanel</name>
    <message>
        <source>Dismiss</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>TriageHeadCommands</name>
    <message>
        <source>Not moved: the folder of %1 is missing (press %2 to create it for this file)</source>
        <translation>Non déplacé&#xa0;: le dossier de %1 est absent (appuyez sur %2 pour le créer pour ce fichier)</translation>
    </message>
    <message>
        <source>No suggestion for this item</source>
        <translation>Aucune suggestion pour cet élément</translation>
    </message>
</context>
<context>
    <name>TriageHeaderBar</name>
    <message>
        <source>Keyboard Shortcuts (%1)</source>
        <translation>Raccourcis clavier (%1)</translation>
    </message>
    <message>
        <source>Configure Destination Slots</source>
        <translation>Configurer les emplacements de destination</translation>
    </message>
    <message>
        <source>Close (%1)</source>
        <translation>Fermer (%1)</translation>
    </message>
</context>
<context>
    <name>TriageItem</name>
    <message>
        <source>Folder</source>
        <translation>Dossier</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
</context>
<context>
    <name>TriageKeyTable</name>
    <message>
        <source>Move to Slot 1–9</source>
        <translation>Déplacer vers l’emplacement 1–9</translation>
    </message>
    <message>
        <source>Move all alike to Slot 1–9</source>
        <translation>Déplacer tous les semblables vers l’emplacement 1–9</translation>
    </message>
    <message>
        <source>Browse custom folder...</source>
        <translation>Parcourir un autre dossier…</translation>
    </message>
    <message>
        <source>Move where the last file went</source>
        <translation>Déplacer là où est allé le dernier fichier</translation>
    </message>
    <message>
        <source>Move to Trash</source>
        <translation>Mettre à la corbeille</translation>
    </message>
    <message>
        <source>Trash file</source>
        <translation>Corbeille</translation>
    </message>
    <message>
        <source>Move all alike to Trash</source>
        <translation>Mettre tous les semblables à la corbeille</translation>
    </message>
    <message>
        <source>Skip to back of queue</source>
        <translation>Ignorer, en fin de file</translation>
    </message>
    <message>
        <source>Skip to end</source>
        <translation>Ignorer</translation>
    </message>
    <message>
        <source>Look through all alike</source>
        <translation>Parcourir tous les semblables</translation>
    </message>
    <message>
        <source>Cancel the running move</source>
        <translation>Annuler le déplacement en cours</translation>
    </message>
    <message>
        <source>Inline rename file</source>
        <translation>Renommer le fichier sur place</translation>
    </message>
    <message>
        <source>Inline rename</source>
        <translation>Renommer</translation>
    </message>
    <message>
        <source>Undo last triage action</source>
        <translation>Annuler la dernière action de tri</translation>
    </message>
    <message>
        <source>Undo last action</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Reveal in File Manager</source>
        <translation>Afficher dans le gestionnaire de fichiers</translation>
    </message>
    <message>
        <source>Open in File Manager</source>
        <translation>Afficher le dossier</translation>
    </message>
    <message>
        <source>Open preview in default app</source>
        <translation>Ouvrir l’aperçu dans l’application par défaut</translation>
    </message>
    <message>
        <source>Show history</source>
        <translation>Afficher l’historique</translation>
    </message>
    <message>
        <source>Toggle this cheat sheet</source>
        <translation>Afficher ou masquer cet aide-mémoire</translation>
    </message>
    <message>
        <source>Open Preferences</source>
        <translation>Ouvrir les Préférences</translation>
    </message>
    <message>
        <source>Close Stowbird window</source>
        <translation>Fermer la fenêtre de Stowbird</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Quit application</source>
        <translation>Quitter l’application</translation>
    </message>
    <message>
        <source>TRIAGE &amp; ROUTING</source>
        <translation>TRI ET RANGEMENT</translation>
    </message>
    <message>
        <source>REVIEW &amp; ACTIONS</source>
        <translation>REVUE ET ACTIONS</translation>
    </message>
    <message>
        <source>GENERAL</source>
        <translation>GÉNÉRAL</translation>
    </message>
    <message>
        <source>or</source>
        <translation>ou</translation>
    </message>
</context>
<context>
    <name>TriageKeyboard</name>
    <message>
        <source>No slot %1: add one in Preferences</source>
        <translation>Pas d’emplacement %1&#xa0;: ajoutez-en un dans les Préférences</translation>
    </message>
</context>
<context>
    <name>TriagePreviewPane</name>
    <message>
        <source>Large File (%1)</source>
        <translation>Fichier volumineux (%1)</translation>
    </message>
    <message>
        <source>Preview deferred to prevent UI lag.</source>
        <translation>Aperçu différé pour ne pas ralentir l’interface.</translation>
    </message>
    <message>
        <source>Load Preview</source>
        <translation>Charger l’aperçu</translation>
    </message>
</context>
<context>
    <name>TriageQueueManager</name>
    <message>
        <source>Skip list not saved. %1</source>
        <translation>Liste des fichiers ignorés non enregistrée. %1</translation>
    </message>
</context>
<context>
    <name>TriageRenamePanel</name>
    <message>
        <source>RENAME FILE</source>
        <translation>RENOMMER LE FICHIER</translation>
    </message>
    <message>
        <source>Press Return to confirm, Escape to cancel</source>
        <translation>Entrée pour confirmer, Échap pour annuler</translation>
    </message>
</context>
<context>
    <name>TriageSheets</name>
    <message>
        <source>Could not create the folder: %1</source>
        <translation>Impossible de créer le dossier&#xa0;: %1</translation>
    </message>
    <message>
        <source>Create and Move</source>
        <translation>Créer et déplacer</translation>
    </message>
</context>
<context>
    <name>UpdateWindow</name>
    <message>
        <source>Download Update</source>
        <translation>Télécharger la mise à jour</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Software Update</source>
        <translation>Mise à jour du logiciel</translation>
    </message>
    <message>
        <source>Checking for updates…</source>
        <translation>Recherche de mises à jour…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>A new version of Stowbird is available!</source>
        <translation>Une nouvelle version de Stowbird est disponible&#xa0;!</translation>
    </message>
    <message>
        <source>Stowbird %1 is now available (you have %2). Would you like to download it now?</source>
        <translation>Stowbird %1 est disponible (vous avez la %2). Voulez-vous la télécharger maintenant&#xa0;?</translation>
    </message>
    <message>
        <source>Remind Me Later</source>
        <translation>Me le rappeler plus tard</translation>
    </message>
    <message>
        <source>You&apos;re up to date!</source>
        <translation>Vous êtes à jour&#xa0;!</translation>
    </message>
    <message>
        <source>Stowbird %1 is currently the newest version available.</source>
        <translation>Stowbird %1 est actuellement la version la plus récente.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Update Error!</source>
        <translation>Erreur de mise à jour&#xa0;!</translation>
    </message>
    <message>
        <source>An error occurred in retrieving update information. Please try again later.

%1</source>
        <translation>Une erreur s’est produite lors de la récupération des informations de mise à jour. Veuillez réessayer plus tard.

%1</translation>
    </message>
</context>
<context>
    <name>WatchedFoldersRow</name>
    <message>
        <source>Watching:</source>
        <translation>Surveillés&#xa0;:</translation>
    </message>
    <message>
        <source>Watched folders</source>
        <translation>Dossiers surveillés</translation>
    </message>
    <message>
        <source>Watch Another Folder...</source>
        <translation>Surveiller un autre dossier…</translation>
    </message>
    <message>
        <source>Watches another folder for new items, as Downloads is</source>
        <translation>Surveille un autre dossier pour les nouveaux éléments, comme Téléchargements</translation>
    </message>
    <message>
        <source>%1: always watched</source>
        <translation>%1&#xa0;: toujours surveillé</translation>
    </message>
    <message>
        <source>%1: watched for new items</source>
        <translation>%1&#xa0;: surveillé pour les nouveaux éléments</translation>
    </message>
    <message>
        <source>%1: not watched, %2</source>
        <translation>%1&#xa0;: non surveillé, %2</translation>
    </message>
    <message>
        <source>Stop watching %1</source>
        <translation>Ne plus surveiller %1</translation>
    </message>
    <message>
        <source>Removes this folder from the watched folders; its items leave the queue</source>
        <translation>Retire ce dossier des dossiers surveillés&#xa0;; ses éléments quittent la file</translation>
    </message>
    <message>
        <source>Not added: %1</source>
        <translation>Non ajouté&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>XdgAutostartBackend</name>
    <message>
        <source>The Stowbird program file could not be found.</source>
        <translation>Le programme Stowbird est introuvable.</translation>
    </message>
    <message>
        <source>The autostart folder %1 could not be created.</source>
        <translation>Le dossier de démarrage automatique %1 n’a pas pu être créé.</translation>
    </message>
    <message>
        <source>The autostart entry %1 could not be written: %2</source>
        <translation>L’entrée de démarrage automatique %1 n’a pas pu être écrite&#xa0;: %2</translation>
    </message>
    <message>
        <source>The autostart entry %1 could not be removed: %2</source>
        <translation>L’entrée de démarrage automatique %1 n’a pas pu être supprimée&#xa0;: %2</translation>
    </message>
</context>
</TS>
