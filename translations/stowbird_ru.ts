<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="en">
<context>
    <name>ActionCanceller</name>
    <message>
        <source>Cancelling %1…</source>
        <translation>Отмена %1…</translation>
    </message>
    <message>
        <source>Too late to cancel: %1 is copied whole, and the original is being removed</source>
        <translation>Отменять поздно: копирование %1 завершено, оригинал уже удаляется</translation>
    </message>
    <message>
        <source>Nothing to cancel</source>
        <translation>Нечего отменять</translation>
    </message>
    <message>
        <source>Gave up waiting: %1 is not responding. %2 of %3 moved; %4</source>
        <translation>Ожидание прекращено: %1 — нет ответа. Перемещено %2 из %3; %4</translation>
    </message>
    <message>
        <source>Cancelled moving %1 to %2: the folder is not responding. %1 is back in the queue; the partial copy is removed if the folder answers again</source>
        <translation>Перемещение %1 в %2 отменено: папка не отвечает. %1 снова в очереди; частичная копия будет удалена, когда папка снова ответит</translation>
    </message>
    <message>
        <source>Gave up waiting: %1 is not responding</source>
        <translation>Ожидание прекращено: %1 — нет ответа</translation>
    </message>
</context>
<context>
    <name>ActionJob</name>
    <message>
        <source>the move of %1 to %2</source>
        <translation>перемещения %1 в %2</translation>
    </message>
    <message>
        <source>the move of %1 to the Trash</source>
        <translation>перемещения %1 в корзину</translation>
    </message>
    <message>
        <source>the rename of %1</source>
        <translation>переименования %1</translation>
    </message>
    <message>
        <source>the running action</source>
        <translation>текущего действия</translation>
    </message>
    <message>
        <source>Moving %1 to %2</source>
        <translation>Перемещение %1 в %2</translation>
    </message>
    <message>
        <source>Moving %1 to the Trash</source>
        <translation>Перемещение %1 в корзину</translation>
    </message>
    <message>
        <source>Renaming %1</source>
        <translation>Переименование %1</translation>
    </message>
    <message>
        <source>Undoing the last action</source>
        <translation>Отмена последнего действия</translation>
    </message>
    <message>
        <source>Removing partial copies left by an interrupted move</source>
        <translation>Удаление частичных копий, оставшихся после прерванного перемещения</translation>
    </message>
    <message>
        <source>Move %1 to %2</source>
        <translation>Переместить %1 в %2</translation>
    </message>
    <message>
        <source>Move %1 to the Trash</source>
        <translation>Переместить %1 в корзину</translation>
    </message>
    <message>
        <source>Rename %1</source>
        <translation>Переименовать %1</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Отменить действие</translation>
    </message>
    <message>
        <source>the Trash</source>
        <translation>корзину</translation>
    </message>
    <message>
        <source>Cancelled moving %1 to %2; they are back in the queue</source>
        <translation>Перемещение %1 в %2 отменено; элементы возвращены в очередь</translation>
    </message>
    <message>
        <source>Cancelled moving %1 to %2; it is back in the queue</source>
        <translation>Перемещение %1 в %2 отменено; элемент возвращён в очередь</translation>
    </message>
    <message>
        <source>Cancelled moving %1 to the Trash; it is back in the queue</source>
        <translation>Перемещение %1 в корзину отменено; элемент возвращён в очередь</translation>
    </message>
    <message>
        <source>Cancelled renaming %1</source>
        <translation>Переименование %1 отменено</translation>
    </message>
    <message>
        <source>Cancelled the undo; nothing changed</source>
        <translation>Отмена действия прервана; ничего не изменилось</translation>
    </message>
    <message>
        <source>Cancelled the removal of partial copies</source>
        <translation>Удаление частичных копий отменено</translation>
    </message>
    <message>
        <source>Still moving %1 to %2</source>
        <translation>Всё ещё идёт перемещение %1 в %2</translation>
    </message>
    <message>
        <source>Still moving %1 to the Trash</source>
        <translation>Всё ещё идёт перемещение %1 в корзину</translation>
    </message>
    <message>
        <source>Still renaming %1</source>
        <translation>Всё ещё идёт переименование %1</translation>
    </message>
    <message>
        <source>Still undoing</source>
        <translation>Всё ещё идёт отмена действия</translation>
    </message>
    <message>
        <source>Still cleaning up</source>
        <translation>Всё ещё идёт очистка</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files, %2 of %3</source>
        <translation>
            <numerusform>%1 из %n файла, %2 из %3</numerusform>
            <numerusform>%1 из %n файлов, %2 из %3</numerusform>
            <numerusform>%1 из %n файлов, %2 из %3</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 из %2</translation>
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
        <translation>элемент возвращён в очередь</translation>
    </message>
    <message numerus="yes">
        <source>all %n are back in the queue</source>
        <translation>
            <numerusform>все элементы (%n) возвращены в очередь</numerusform>
            <numerusform>все элементы (%n) возвращены в очередь</numerusform>
            <numerusform>все элементы (%n) возвращены в очередь</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n are back in the queue</source>
        <translation>
            <numerusform>%n элемент возвращён в очередь</numerusform>
            <numerusform>%n элемента возвращены в очередь</numerusform>
            <numerusform>%n элементов возвращены в очередь</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ActionPaletteView</name>
    <message>
        <source>Volume unmounted or path missing: click to create the folder</source>
        <translation>Том отключён или путь не существует: нажмите, чтобы создать папку</translation>
    </message>
    <message>
        <source>Slot %1: %2</source>
        <translation>Слот %1: %2</translation>
    </message>
    <message>
        <source>Key %1 moves the item to %2</source>
        <translation>Клавиша %1 перемещает элемент в %2</translation>
    </message>
    <message>
        <source>Folder missing: %1</source>
        <translation>Папка отсутствует: %1</translation>
    </message>
    <message>
        <source>Suggested (%1). %2</source>
        <translation>Предлагается (%1). %2</translation>
    </message>
    <message>
        <source>Suggested destination: %1</source>
        <translation>Предлагаемое место: %1</translation>
    </message>
    <message>
        <source>%1 moves the item to %2</source>
        <translation>%1 перемещает элемент в %2</translation>
    </message>
    <message>
        <source>Custom Destination (Browse...)</source>
        <translation>Другая папка (Обзор...)</translation>
    </message>
    <message>
        <source>Key %1 moves the item to a folder you choose</source>
        <translation>Клавиша %1 перемещает элемент в выбранную вами папку</translation>
    </message>
    <message>
        <source>Custom Destination</source>
        <translation>Другая папка</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Обзор...</translation>
    </message>
    <message>
        <source>Inline Rename (%1)</source>
        <translation>Переименовать (%1)</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Переименовать</translation>
    </message>
    <message>
        <source>Rename the item in place (%1)</source>
        <translation>Переименовать элемент на месте (%1)</translation>
    </message>
    <message>
        <source>Trash This Copy (%1)</source>
        <translation>Эту копию в корзину (%1)</translation>
    </message>
    <message>
        <source>Moves this download to the Trash; the copy already filed stays</source>
        <translation>Перемещает эту загрузку в корзину; уже разложенная копия остаётся</translation>
    </message>
    <message>
        <source>ROUTING DESTINATIONS</source>
        <translation>МЕСТА НАЗНАЧЕНИЯ</translation>
    </message>
    <message>
        <source>Routing destinations</source>
        <translation>Места назначения</translation>
    </message>
    <message>
        <source>ACTIONS</source>
        <translation>ДЕЙСТВИЯ</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 из %2</translation>
    </message>
    <message>
        <source>from %1</source>
        <translation>с %1</translation>
    </message>
    <message>
        <source>in %1</source>
        <translation>в %1</translation>
    </message>
    <message>
        <source>%1, from %2</source>
        <translation>%1, с %2</translation>
    </message>
    <message>
        <source>%1, in %2</source>
        <translation>%1, в %2</translation>
    </message>
    <message>
        <source>%1 moves all · %2 trashes all · %3 to look through</source>
        <translation>%1 — переместить все · %2 — все в корзину · %3 — просмотреть по одному</translation>
    </message>
    <message>
        <source>%1
Showing %2 of %3: %4</source>
        <translation>%1
Показан %2 из %3: %4</translation>
    </message>
    <message>
        <source>Same as last: %1</source>
        <translation>Как в прошлый раз: %1</translation>
    </message>
    <message>
        <source>%1 moves the item to %2, where the last file went</source>
        <translation>%1 перемещает элемент в %2, куда ушёл предыдущий файл</translation>
    </message>
    <message>
        <source>Added %1</source>
        <translation>Добавлено %1</translation>
    </message>
</context>
<context>
    <name>ActionProgressView</name>
    <message>
        <source>File action in progress</source>
        <translation>Выполняется операция с файлами</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Cancel the running move (C)</source>
        <translation>Отменить текущее перемещение (C)</translation>
    </message>
    <message>
        <source>Cancels the running move (C)</source>
        <translation>Отменяет текущее перемещение (C)</translation>
    </message>
    <message>
        <source>about %1 s left</source>
        <translation>осталось около %1 с</translation>
    </message>
    <message>
        <source>about %1 min left</source>
        <translation>осталось около %1 мин</translation>
    </message>
    <message>
        <source>about %1 h %2 min left</source>
        <translation>осталось около %1 ч %2 мин</translation>
    </message>
    <message numerus="yes">
        <source>— %n more waiting</source>
        <translation>
            <numerusform>— ещё %n ожидает</numerusform>
            <numerusform>— ещё %n ожидают</numerusform>
            <numerusform>— ещё %n ожидают</numerusform>
        </translation>
    </message>
    <message>
        <source>%1
Waiting: %2</source>
        <translation>%1
В очереди: %2</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n files</source>
        <translation>
            <numerusform>%1 из %n файла</numerusform>
            <numerusform>%1 из %n файлов</numerusform>
            <numerusform>%1 из %n файлов</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 из %2</translation>
    </message>
    <message>
        <source>Cancelling…</source>
        <translation>Отмена…</translation>
    </message>
    <message>
        <source>Not responding</source>
        <translation>Не отвечает</translation>
    </message>
</context>
<context>
    <name>ActionShortcutHint</name>
    <message>
        <source>Key: %1</source>
        <translation>Клавиша: %1</translation>
    </message>
</context>
<context>
    <name>ActionStatusLine</name>
    <message>
        <source>Quitting: cancelling %1…</source>
        <translation>Выход: отмена %1…</translation>
    </message>
    <message>
        <source>%1 is not responding — press C to cancel</source>
        <translation>%1 — нет ответа, нажмите C для отмены</translation>
    </message>
    <message numerus="yes">
        <source>%1 — %n more waiting</source>
        <translation>
            <numerusform>%1 — ещё %n ожидает</numerusform>
            <numerusform>%1 — ещё %n ожидают</numerusform>
            <numerusform>%1 — ещё %n ожидают</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ActionUndoApplier</name>
    <message>
        <source>Nothing to undo: %1 failed (%2)</source>
        <translation>Нечего отменять: сбой %1 (%2)</translation>
    </message>
    <message>
        <source>Nothing to undo</source>
        <translation>Нечего отменять</translation>
    </message>
    <message>
        <source>Cannot undo: the %1 in the Trash is not the one moved there from %2; nothing was restored</source>
        <translation>Отменить невозможно: %1 в корзине — не тот элемент, что был перемещён туда из %2; ничего не восстановлено</translation>
    </message>
    <message>
        <source>Cannot undo: the %1 in %2 is not the file moved there (it was replaced or changed since); nothing was moved</source>
        <translation>Отменить невозможно: %1 в %2 — не тот файл, что был туда перемещён (с тех пор он заменён или изменён); ничего не перемещено</translation>
    </message>
    <message>
        <source>Cannot undo: %1 is not the file renamed to that name (it was replaced or changed since); nothing was renamed</source>
        <translation>Отменить невозможно: %1 — не тот файл, который получил это имя (с тех пор он заменён или изменён); ничего не переименовано</translation>
    </message>
    <message>
        <source>Nothing restored: %1 is no longer in the Trash</source>
        <translation>Ничего не восстановлено: %1 больше нет в корзине</translation>
    </message>
    <message>
        <source>Nothing restored: %1 is no longer in %2</source>
        <translation>Ничего не восстановлено: %1 больше нет в %2</translation>
    </message>
    <message>
        <source>Nothing restored: %1 is gone</source>
        <translation>Ничего не восстановлено: %1 больше не существует</translation>
    </message>
    <message>
        <source>Restored %1 from the Trash to %2</source>
        <translation>Восстановлено из корзины: %1 — в %2</translation>
    </message>
    <message>
        <source>Restored %1 from the Trash to %2 as %3 (%1 was taken)</source>
        <translation>Восстановлено из корзины: %1 — в %2 под именем %3 (имя %1 занято)</translation>
    </message>
    <message>
        <source>Undid move: %1 restored to %2</source>
        <translation>Перемещение отменено: %1 — снова в %2</translation>
    </message>
    <message>
        <source>Undid rename: %1 is %2 again</source>
        <translation>Переименование отменено: %1 снова называется %2</translation>
    </message>
    <message>
        <source>the %1 in the Trash is not the one moved there</source>
        <translation>%1 в корзине — не тот элемент, что был туда перемещён</translation>
    </message>
    <message>
        <source>the %1 in %2 is not the file moved there (it was replaced or changed since)</source>
        <translation>%1 в %2 — не тот файл, что был туда перемещён (с тех пор он заменён или изменён)</translation>
    </message>
    <message>
        <source>%1 is no longer in the Trash</source>
        <translation>%1 больше нет в корзине</translation>
    </message>
    <message>
        <source>%1 is no longer in %2</source>
        <translation>%1 больше нет в %2</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 из %2</translation>
    </message>
    <message>
        <source>Cancelled the undo; nothing changed</source>
        <translation>Отмена действия прервана; ничего не изменилось</translation>
    </message>
    <message>
        <source>Nothing restored</source>
        <translation>Ничего не восстановлено</translation>
    </message>
    <message>
        <source>Cancelled the undo after %1 (back in %2); the other %3 can still be undone</source>
        <translation>Отмена действия прервана: возвращено %1 (в %2); остальные (%3) ещё можно вернуть</translation>
    </message>
    <message>
        <source>Undid move of %1: restored to %2</source>
        <translation>Перемещение отменено: %1 — снова в %2</translation>
    </message>
    <message>
        <source>%1. Not restored: %2</source>
        <translation>%1. Не восстановлено: %2</translation>
    </message>
    <message>
        <source>Nothing restored: %1 is gone since it was skipped</source>
        <translation>Ничего не восстановлено: после пропуска %1 больше не существует</translation>
    </message>
    <message>
        <source>Undid skip: %1 is back</source>
        <translation>Пропуск отменён: %1 снова в очереди</translation>
    </message>
</context>
<context>
    <name>AppConfig</name>
    <message>
        <source>Documents</source>
        <translation>Документы</translation>
    </message>
    <message>
        <source>Work Projects</source>
        <translation>Рабочие проекты</translation>
    </message>
    <message>
        <source>Invoices &amp; Finance</source>
        <translation>Счета и финансы</translation>
    </message>
    <message>
        <source>Screenshots</source>
        <translation>Снимки экрана</translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>History is unavailable: %1</source>
        <translation>История недоступна: %1</translation>
    </message>
    <message>
        <source>Organize Downloads</source>
        <translation>Разобрать загрузки</translation>
    </message>
    <message>
        <source>Scan %1 Now</source>
        <translation>Проверить %1 сейчас</translation>
    </message>
    <message>
        <source>Clear Skipped Files</source>
        <translation>Сбросить пропущенные</translation>
    </message>
    <message>
        <source>Force Reset Queue</source>
        <translation>Принудительно сбросить очередь</translation>
    </message>
    <message>
        <source>Open Log File...</source>
        <translation>Открыть файл журнала...</translation>
    </message>
    <message>
        <source>Check for Updates...</source>
        <translation>Проверить обновления...</translation>
    </message>
    <message>
        <source>Preferences...</source>
        <translation>Параметры...</translation>
    </message>
    <message>
        <source>Quit Stowbird</source>
        <translation>Выйти из Stowbird</translation>
    </message>
    <message>
        <source>To open it again, press %1 or start Stowbird from the applications menu.</source>
        <translation>Чтобы снова открыть окно, нажмите %1 или запустите Stowbird из меню приложений.</translation>
    </message>
    <message>
        <source>To open it again, start Stowbird from the applications menu.</source>
        <translation>Чтобы снова открыть окно, запустите Stowbird из меню приложений.</translation>
    </message>
    <message>
        <source>Stowbird keeps watching your downloads</source>
        <translation>Stowbird продолжает следить за вашими загрузками</translation>
    </message>
    <message>
        <source>This desktop has no tray for its icon. %1</source>
        <translation>На этом рабочем столе нет области уведомлений для значка. %1</translation>
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
        <translation>Лента обновлений слишком велика.</translation>
    </message>
    <message>
        <source>The update feed was redirected to an address that is not https.</source>
        <translation>Лента обновлений перенаправлена на адрес без https.</translation>
    </message>
    <message>
        <source>The update feed answered HTTP %1.</source>
        <translation>Лента обновлений вернула ответ HTTP %1.</translation>
    </message>
    <message>
        <source>The update feed could not be fetched: %1.</source>
        <translation>Не удалось получить ленту обновлений: %1.</translation>
    </message>
    <message>
        <source>The update feed could not be read: %1.</source>
        <translation>Не удалось прочитать ленту обновлений: %1.</translation>
    </message>
</context>
<context>
    <name>ArchiveListingView</name>
    <message>
        <source>Archive contents</source>
        <translation>Содержимое архива</translation>
    </message>
    <message numerus="yes">
        <source>more than %Ln entries</source>
        <translation>
            <numerusform>более %Ln элемента</numerusform>
            <numerusform>более %Ln элементов</numerusform>
            <numerusform>более %Ln элементов</numerusform>
        </translation>
    </message>
    <message>
        <source>empty</source>
        <translation>пусто</translation>
    </message>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation>
            <numerusform>%Ln файл</numerusform>
            <numerusform>%Ln файла</numerusform>
            <numerusform>%Ln файлов</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>at least %Ln files</source>
        <translation>
            <numerusform>не менее %Ln файла</numerusform>
            <numerusform>не менее %Ln файлов</numerusform>
            <numerusform>не менее %Ln файлов</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1, %Ln folders</source>
        <translation>
            <numerusform>%1, %Ln папка</numerusform>
            <numerusform>%1, %Ln папки</numerusform>
            <numerusform>%1, %Ln папок</numerusform>
        </translation>
    </message>
    <message>
        <source>at least %1</source>
        <translation>не менее %1</translation>
    </message>
    <message>
        <source>This archive is damaged or incomplete: the list ends where it could no longer be read.</source>
        <translation>Архив повреждён или неполон: список обрывается там, где чтение стало невозможным.</translation>
    </message>
    <message numerus="yes">
        <source>Reading this archive took too long: the list stops after %Ln entries.</source>
        <translation>
            <numerusform>Чтение архива заняло слишком много времени: список обрывается после %Ln элемента.</numerusform>
            <numerusform>Чтение архива заняло слишком много времени: список обрывается после %Ln элементов.</numerusform>
            <numerusform>Чтение архива заняло слишком много времени: список обрывается после %Ln элементов.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>This archive has more than %Ln entries.</source>
        <translation>
            <numerusform>В архиве более %Ln элемента.</numerusform>
            <numerusform>В архиве более %Ln элементов.</numerusform>
            <numerusform>В архиве более %Ln элементов.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Only the first %Ln are listed.</source>
        <translation>
            <numerusform>Показаны только первые %Ln.</numerusform>
            <numerusform>Показаны только первые %Ln.</numerusform>
            <numerusform>Показаны только первые %Ln.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Only the first %Ln entries are listed.</source>
        <translation>
            <numerusform>Показаны только первые %Ln элемент.</numerusform>
            <numerusform>Показаны только первые %Ln элемента.</numerusform>
            <numerusform>Показаны только первые %Ln элементов.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln entries would be unpacked outside their folder (an absolute path or “..” in the name, or a link that points there). They are marked below.</source>
        <translation>
            <numerusform>%Ln элемент был бы распакован за пределы своей папки (абсолютный путь или «..» в имени либо ссылка, указывающая туда). Он отмечен ниже.</numerusform>
            <numerusform>%Ln элемента были бы распакованы за пределы своей папки (абсолютный путь или «..» в имени либо ссылка, указывающая туда). Они отмечены ниже.</numerusform>
            <numerusform>%Ln элементов были бы распакованы за пределы своей папки (абсолютный путь или «..» в имени либо ссылка, указывающая туда). Они отмечены ниже.</numerusform>
        </translation>
    </message>
    <message>
        <source>Unpacked, this would take %1, over %2 times the size of the archive: it could fill the disk.</source>
        <translation>В распакованном виде это займёт %1 — более чем в %2 раз больше архива: диск может переполниться.</translation>
    </message>
    <message>
        <source>Some entries are encrypted.</source>
        <translation>Некоторые элементы зашифрованы.</translation>
    </message>
    <message>
        <source>This archive is empty.</source>
        <translation>Архив пуст.</translation>
    </message>
    <message numerus="yes">
        <source>CONTENTS (%Ln)</source>
        <translation>
            <numerusform>СОДЕРЖИМОЕ (%Ln)</numerusform>
            <numerusform>СОДЕРЖИМОЕ (%Ln)</numerusform>
            <numerusform>СОДЕРЖИМОЕ (%Ln)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>FIRST %Ln ENTRIES</source>
        <translation>
            <numerusform>ПЕРВЫЕ %Ln ЭЛЕМЕНТ</numerusform>
            <numerusform>ПЕРВЫЕ %Ln ЭЛЕМЕНТА</numerusform>
            <numerusform>ПЕРВЫЕ %Ln ЭЛЕМЕНТОВ</numerusform>
        </translation>
    </message>
    <message>
        <source>This name leads outside the folder the archive would be unpacked into.</source>
        <translation>Это имя ведёт за пределы папки, в которую был бы распакован архив.</translation>
    </message>
</context>
<context>
    <name>BlockingProblems</name>
    <message>
        <source>New downloads in %1 may not be seen: the system&apos;s limit of watched folders is reached.</source>
        <translation>Новые загрузки в %1 могут остаться незамеченными: достигнут системный предел отслеживаемых папок.</translation>
    </message>
    <message>
        <source>Raise fs.inotify.max_user_watches (for example: sudo sysctl fs.inotify.max_user_watches=524288).</source>
        <translation>Увеличьте fs.inotify.max_user_watches (например: sudo sysctl fs.inotify.max_user_watches=524288).</translation>
    </message>
    <message>
        <source>New downloads in %1 cannot be seen: the system&apos;s limit of folder watchers is reached.</source>
        <translation>Новые загрузки в %1 не видны: достигнут системный предел наблюдателей за папками.</translation>
    </message>
    <message>
        <source>Raise fs.inotify.max_user_instances (for example: sudo sysctl fs.inotify.max_user_instances=512) or close programs that watch many folders.</source>
        <translation>Увеличьте fs.inotify.max_user_instances (например: sudo sysctl fs.inotify.max_user_instances=512) или закройте программы, которые следят за многими папками.</translation>
    </message>
    <message>
        <source>New downloads in %1 cannot be seen: the folder does not exist.</source>
        <translation>Новые загрузки в %1 не видны: папка не существует.</translation>
    </message>
    <message>
        <source>Create the folder again: it is watched from the moment it exists.</source>
        <translation>Создайте папку снова: наблюдение начнётся, как только она появится.</translation>
    </message>
    <message>
        <source>New downloads in %1 cannot be seen: Stowbird may not read the folder (%2).</source>
        <translation>Новые загрузки в %1 не видны: у Stowbird нет права читать папку (%2).</translation>
    </message>
    <message>
        <source>Give yourself read access to the folder, for example: chmod u+rwx %1</source>
        <translation>Дайте себе право на чтение папки, например: chmod u+rwx %1</translation>
    </message>
    <message>
        <source>New downloads in %1 cannot be seen: %2.</source>
        <translation>Новые загрузки в %1 не видны: %2.</translation>
    </message>
    <message>
        <source>Restart Stowbird; the log has the details.</source>
        <translation>Перезапустите Stowbird; подробности — в журнале.</translation>
    </message>
    <message>
        <source>The history cannot be written: %1.</source>
        <translation>Не удаётся записать историю: %1.</translation>
    </message>
    <message>
        <source>Free some disk space or make %1 writable; filing goes on meanwhile.</source>
        <translation>Освободите место на диске или разрешите запись в %1; разбор файлов тем временем продолжается.</translation>
    </message>
    <message>
        <source>Make %1 writable; they are saved again at the next change.</source>
        <translation>Разрешите запись в %1; параметры будут сохранены снова при следующем изменении.</translation>
    </message>
</context>
<context>
    <name>CheatSheetOverlay</name>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Комбинации клавиш</translation>
    </message>
</context>
<context>
    <name>ConfigurationService</name>
    <message>
        <source>Could not create the folder %1</source>
        <translation>Не удалось создать папку %1</translation>
    </message>
    <message>
        <source>Your settings file could not be read; Stowbird started with defaults and will not save over %1.</source>
        <translation>Не удалось прочитать файл настроек; Stowbird запущен с настройками по умолчанию и не будет перезаписывать %1.</translation>
    </message>
    <message>
        <source>Your settings file could not be read; Stowbird started with defaults and kept your file as %1</source>
        <translation>Не удалось прочитать файл настроек; Stowbird запущен с настройками по умолчанию, а ваш файл сохранён как %1</translation>
    </message>
    <message>
        <source>the unreadable file %1 could not be kept aside, so it is not written over</source>
        <translation>нечитаемый файл %1 не удалось отложить в сторону, поэтому он не будет перезаписан</translation>
    </message>
    <message>
        <source>Settings not saved. %1</source>
        <translation>Настройки не сохранены. %1</translation>
    </message>
</context>
<context>
    <name>CreateFolderOffer</name>
    <message>
        <source>Create %1 and move the item there?</source>
        <translation>Создать %1 и переместить туда элемент?</translation>
    </message>
    <message>
        <source>The folder %1 does not exist. Create it now?</source>
        <translation>Папка %1 не существует. Создать её?</translation>
    </message>
    <message>
        <source>Return to confirm, Escape to cancel</source>
        <translation>Enter — подтвердить, Escape — отменить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Leaves everything as it is (Escape)</source>
        <translation>Оставляет всё как есть (Escape)</translation>
    </message>
    <message>
        <source>%1 (Return)</source>
        <translation>%1 (Enter)</translation>
    </message>
    <message>
        <source>Create folder</source>
        <translation>Создать папку</translation>
    </message>
</context>
<context>
    <name>DestinationPredictor</name>
    <message>
        <source>.%1 files from %2</source>
        <translation>файлы .%1 с %2</translation>
    </message>
    <message>
        <source>files without an extension</source>
        <translation>файлы без расширения</translation>
    </message>
    <message>
        <source>.%1 files</source>
        <translation>файлы .%1</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>файлы %1</translation>
    </message>
    <message>
        <source>files named “%1…”</source>
        <translation>файлы с именем «%1…»</translation>
    </message>
    <message>
        <source>files named like this one</source>
        <translation>файлы с похожими именами</translation>
    </message>
    <message>
        <source>files from %1</source>
        <translation>файлы с %1</translation>
    </message>
    <message>
        <source>files of this size</source>
        <translation>файлы такого же размера</translation>
    </message>
    <message>
        <source>Items like this one went to %1</source>
        <translation>Похожие элементы перемещались в %1</translation>
    </message>
    <message>
        <source>The last of the %1 went to %2</source>
        <translation>Группа «%1»: последний — в %2</translation>
    </message>
    <message>
        <source>%1 of the last %2 %3 went to %4</source>
        <translation>Группа «%3»: %1 из последних %2 — в %4</translation>
    </message>
</context>
<context>
    <name>DuplicateFinder</name>
    <message>
        <source>Identical to %1, also waiting</source>
        <translation>Совпадает с %1 (тоже в очереди)</translation>
    </message>
    <message>
        <source>Identical to %1 in %2, filed %3</source>
        <translation>Совпадает с %1 в %2 (перемещено %3)</translation>
    </message>
    <message>
        <source>Identical to %1 in %2</source>
        <translation>Совпадает с %1 в %2</translation>
    </message>
</context>
<context>
    <name>FileExecutionEngine</name>
    <message>
        <source>Cannot undo: &quot;%1&quot; already exists where the item was; nothing was replaced.</source>
        <translation>Отменить невозможно: «%1» уже существует на прежнем месте элемента; ничего не заменено.</translation>
    </message>
    <message>
        <source>Destination directory does not exist: %1</source>
        <translation>Папка назначения не существует: %1</translation>
    </message>
</context>
<context>
    <name>FileMover</name>
    <message>
        <source>Could not move the item</source>
        <translation>Не удалось переместить элемент</translation>
    </message>
    <message>
        <source>Could not move the item: the original cannot be removed</source>
        <translation>Не удалось переместить элемент: не удаётся удалить оригинал</translation>
    </message>
</context>
<context>
    <name>FileNaming</name>
    <message>
        <source>The name is empty.</source>
        <translation>Имя не указано.</translation>
    </message>
    <message>
        <source>The name &quot;%1&quot; is reserved by the file system.</source>
        <translation>Имя «%1» зарезервировано файловой системой.</translation>
    </message>
    <message>
        <source>A name cannot contain &quot;/&quot;.</source>
        <translation>Имя не может содержать «/».</translation>
    </message>
    <message>
        <source>A name cannot contain a NUL character.</source>
        <translation>Имя не может содержать символ NUL.</translation>
    </message>
</context>
<context>
    <name>FolderChildRowDelegate</name>
    <message numerus="yes">
        <source>%n items</source>
        <translation>
            <numerusform>%n элемент</numerusform>
            <numerusform>%n элемента</numerusform>
            <numerusform>%n элементов</numerusform>
        </translation>
    </message>
    <message>
        <source>Reveal in File Manager</source>
        <translation>Показать в файловом менеджере</translation>
    </message>
</context>
<context>
    <name>FolderInspectorView</name>
    <message>
        <source>File Manager</source>
        <translation>Показать</translation>
    </message>
    <message>
        <source>Reveal folder in File Manager (Ctrl+O)</source>
        <translation>Показать папку в файловом менеджере (Ctrl+O)</translation>
    </message>
    <message>
        <source>Reveal folder in File Manager</source>
        <translation>Показать папку в файловом менеджере</translation>
    </message>
    <message>
        <source>Shows the folder in the file manager (Ctrl+O)</source>
        <translation>Показывает папку в файловом менеджере (Ctrl+O)</translation>
    </message>
    <message numerus="yes">
        <source>IMAGES (%n)</source>
        <translation>
            <numerusform>ИЗОБРАЖЕНИЯ (%n)</numerusform>
            <numerusform>ИЗОБРАЖЕНИЯ (%n)</numerusform>
            <numerusform>ИЗОБРАЖЕНИЯ (%n)</numerusform>
        </translation>
    </message>
    <message>
        <source>Click to preview</source>
        <translation>Нажмите для предпросмотра</translation>
    </message>
    <message numerus="yes">
        <source>FOLDER CONTENTS (%n)</source>
        <translation>
            <numerusform>СОДЕРЖИМОЕ ПАПКИ (%n)</numerusform>
            <numerusform>СОДЕРЖИМОЕ ПАПКИ (%n)</numerusform>
            <numerusform>СОДЕРЖИМОЕ ПАПКИ (%n)</numerusform>
        </translation>
    </message>
    <message>
        <source>Folder is empty</source>
        <translation>Папка пуста</translation>
    </message>
    <message numerus="yes">
        <source>%n items</source>
        <translation>
            <numerusform>%n элемент</numerusform>
            <numerusform>%n элемента</numerusform>
            <numerusform>%n элементов</numerusform>
        </translation>
    </message>
    <message>
        <source>Back to Folder</source>
        <translation>Назад к папке</translation>
    </message>
    <message>
        <source>Returns to the folder&apos;s contents</source>
        <translation>Возвращает к содержимому папки</translation>
    </message>
    <message>
        <source>Reveal file in File Manager</source>
        <translation>Показать файл в файловом менеджере</translation>
    </message>
    <message>
        <source>Shows %1 in the file manager</source>
        <translation>Показывает %1 в файловом менеджере</translation>
    </message>
</context>
<context>
    <name>FolderListing</name>
    <message numerus="yes">
        <source>%n PDFs</source>
        <translation>
            <numerusform>%n PDF-файл</numerusform>
            <numerusform>%n PDF-файла</numerusform>
            <numerusform>%n PDF-файлов</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Images</source>
        <translation>
            <numerusform>%n изображение</numerusform>
            <numerusform>%n изображения</numerusform>
            <numerusform>%n изображений</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Folders</source>
        <translation>
            <numerusform>%n папка</numerusform>
            <numerusform>%n папки</numerusform>
            <numerusform>%n папок</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Files</source>
        <translation>
            <numerusform>%n файл</numerusform>
            <numerusform>%n файла</numerusform>
            <numerusform>%n файлов</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FreedesktopTrash</name>
    <message>
        <source>The item is not inside a trash.</source>
        <translation>Элемент не находится в корзине.</translation>
    </message>
    <message>
        <source>Could not restore the item</source>
        <translation>Не удалось восстановить элемент</translation>
    </message>
    <message>
        <source>The trash does not say where the item came from.</source>
        <translation>В корзине нет сведений о том, откуда был удалён элемент.</translation>
    </message>
</context>
<context>
    <name>GeneralSettingsSection</name>
    <message>
        <source>General</source>
        <translation>Общие</translation>
    </message>
    <message>
        <source>Launch Stowbird automatically at login</source>
        <translation>Запускать при входе в систему</translation>
    </message>
    <message>
        <source>Starts Stowbird in the tray when you log in; takes effect on Save</source>
        <translation>Запускает Stowbird в области уведомлений при входе в систему; применяется после сохранения</translation>
    </message>
    <message>
        <source>Open System Settings</source>
        <translation>Открыть настройки системы</translation>
    </message>
    <message>
        <source>Opens the folder of login items</source>
        <translation>Открывает папку автозапуска</translation>
    </message>
    <message>
        <source>Notifications:</source>
        <translation>Уведомления:</translation>
    </message>
    <message>
        <source>Never</source>
        <translation>Никогда</translation>
    </message>
    <message>
        <source>New downloads never raise a notification</source>
        <translation>О новых загрузках уведомления не показываются</translation>
    </message>
    <message>
        <source>Without a tray</source>
        <translation>Без трея</translation>
    </message>
    <message>
        <source>New downloads raise a notification only when the desktop has no tray for the icon</source>
        <translation>Уведомления о новых загрузках показываются, только если на рабочем столе нет области уведомлений для значка</translation>
    </message>
    <message>
        <source>Always</source>
        <translation>Всегда</translation>
    </message>
    <message>
        <source>New downloads raise a notification whenever the window is hidden</source>
        <translation>Уведомления о новых загрузках показываются всякий раз, когда окно скрыто</translation>
    </message>
    <message>
        <source>Notify of new downloads</source>
        <translation>Уведомлять о новых загрузках</translation>
    </message>
    <message>
        <source>While the window is hidden, a new download shows a notification with buttons to file it, trash it or open Stowbird: never, only when the desktop has no tray for the icon, or always. Saved with Save</source>
        <translation>Пока окно скрыто, о новой загрузке сообщает уведомление с кнопками, чтобы переместить её, удалить в корзину или открыть Stowbird: никогда, только если на рабочем столе нет области уведомлений для значка, или всегда. Сохраняется кнопкой «Сохранить»</translation>
    </message>
    <message>
        <source>File Completion Debounce:</source>
        <translation>Задержка завершения загрузки:</translation>
    </message>
    <message>
        <source>File completion debounce</source>
        <translation>Задержка завершения загрузки</translation>
    </message>
    <message>
        <source>Check for Updates...</source>
        <translation>Проверить обновления...</translation>
    </message>
    <message>
        <source>Looks for a newer Stowbird now</source>
        <translation>Проверяет наличие новой версии Stowbird</translation>
    </message>
    <message>
        <source>Updates:</source>
        <translation>Обновления:</translation>
    </message>
    <message>
        <source>How long a download must stay unchanged before it is queued: %1</source>
        <translation>Сколько времени загрузка должна оставаться неизменной, прежде чем попасть в очередь: %1</translation>
    </message>
    <message>
        <source>%1s</source>
        <translation>%1 с</translation>
    </message>
    <message>
        <source>Stowbird could not be set to launch at login: %1</source>
        <translation>Не удалось настроить запуск Stowbird при входе в систему: %1</translation>
    </message>
    <message>
        <source>Launch at login could not be turned off: %1</source>
        <translation>Не удалось отключить запуск при входе в систему: %1</translation>
    </message>
</context>
<context>
    <name>GlobalHotkey</name>
    <message>
        <source>&quot;%1&quot; is not a modifier key</source>
        <translation>«%1» не является клавишей-модификатором</translation>
    </message>
    <message>
        <source>no key is named</source>
        <translation>клавиша не указана</translation>
    </message>
    <message>
        <source>a modifier alone is not a shortcut</source>
        <translation>один модификатор не является комбинацией клавиш</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a key</source>
        <translation>«%1» не является клавишей</translation>
    </message>
    <message>
        <source>a shortcut for the whole desktop needs a modifier key</source>
        <translation>глобальной комбинации клавиш нужна клавиша-модификатор</translation>
    </message>
</context>
<context>
    <name>GlobalShortcutEditor</name>
    <message>
        <source>Open Stowbird from anywhere:</source>
        <translation>Открывать Stowbird откуда угодно:</translation>
    </message>
    <message>
        <source>Turn Off</source>
        <translation>Отключить</translation>
    </message>
    <message>
        <source>No shortcut opens Stowbird from anywhere; takes effect on Save</source>
        <translation>Stowbird не будет открываться комбинацией клавиш откуда угодно; применяется после сохранения</translation>
    </message>
    <message>
        <source>The shortcut in effect now</source>
        <translation>Действующая сейчас комбинация клавиш</translation>
    </message>
    <message>
        <source>Global shortcut</source>
        <translation>Глобальная комбинация клавиш</translation>
    </message>
    <message>
        <source>Press the new chord, with at least one of Ctrl, Alt, Shift or Super; takes effect on Save</source>
        <translation>Нажмите новую комбинацию, содержащую хотя бы одну из клавиш Ctrl, Alt, Shift или Super; применяется после сохранения</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Выкл.</translation>
    </message>
    <message>
        <source>%1 cannot open Stowbird from anywhere: %2.</source>
        <translation>%1 не может открывать Stowbird откуда угодно: %2.</translation>
    </message>
    <message>
        <source>%1 (being set up...)</source>
        <translation>%1 (настраивается...)</translation>
    </message>
    <message>
        <source>%1 (not set up)</source>
        <translation>%1 (не настроено)</translation>
    </message>
    <message>
        <source>%1 (not working)</source>
        <translation>%1 (не работает)</translation>
    </message>
    <message>
        <source>The shortcut could not be set up: %1. Launching Stowbird again also opens this window.</source>
        <translation>Не удалось настроить комбинацию клавиш: %1. Это окно также открывается повторным запуском Stowbird.</translation>
    </message>
    <message>
        <source>Global shortcut in effect</source>
        <translation>Действующая глобальная комбинация клавиш</translation>
    </message>
</context>
<context>
    <name>GlobalShortcutService</name>
    <message>
        <source>&quot;%1&quot; is not a shortcut: %2</source>
        <translation>«%1» не является комбинацией клавиш: %2</translation>
    </message>
    <message>
        <source>this desktop offers no global shortcuts to programs (no GlobalShortcuts portal, no X11 session)</source>
        <translation>это окружение рабочего стола не предоставляет программам глобальные комбинации клавиш (нет портала GlobalShortcuts и сеанса X11)</translation>
    </message>
</context>
<context>
    <name>GroupActionApplier</name>
    <message>
        <source>%1 failed: %2</source>
        <translation>Сбой при обработке %1: %2</translation>
    </message>
    <message>
        <source>Nothing moved to %1: %2; %3</source>
        <translation>Ничего не перемещено в %1: %2; %3</translation>
    </message>
    <message>
        <source>Moved %1 of %2 to %3%4; %5; %6</source>
        <translation>Перемещено %1 из %2 в %3%4; %5; %6</translation>
    </message>
    <message>
        <source>Cancelled moving %1 to %2</source>
        <translation>Перемещение %1 в %2 отменено</translation>
    </message>
    <message>
        <source>%1 after %2%3; %4</source>
        <translation>%1; уже перемещено: %2%3; %4</translation>
    </message>
    <message>
        <source>Moved %1 to Trash</source>
        <translation>Перемещено в корзину: %1</translation>
    </message>
    <message>
        <source>Moved %1 to %2</source>
        <translation>Перемещено в %2: %1</translation>
    </message>
</context>
<context>
    <name>HistoryEntry</name>
    <message numerus="yes">
        <source>%n files</source>
        <translation>
            <numerusform>%n файл</numerusform>
            <numerusform>%n файла</numerusform>
            <numerusform>%n файлов</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>HistoryListModel</name>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>и ещё %n</numerusform>
            <numerusform>и ещё %n</numerusform>
            <numerusform>и ещё %n</numerusform>
        </translation>
    </message>
    <message>
        <source>Downloads</source>
        <translation>Загрузки</translation>
    </message>
    <message>
        <source>Moved to several folders</source>
        <translation>Перемещено в несколько папок</translation>
    </message>
    <message>
        <source>Moved to %1</source>
        <translation>Перемещено в %1</translation>
    </message>
    <message>
        <source>Moved to Trash</source>
        <translation>Перемещено в корзину</translation>
    </message>
    <message>
        <source>Renamed to %1</source>
        <translation>Переименовано в %1</translation>
    </message>
    <message>
        <source>Skipped</source>
        <translation>Пропущено</translation>
    </message>
    <message>
        <source>Put back where they were</source>
        <translation>Возвращены на прежние места</translation>
    </message>
    <message>
        <source>Put back in %1</source>
        <translation>Возвращено в %1</translation>
    </message>
    <message>
        <source>just now</source>
        <translation>только что</translation>
    </message>
    <message>
        <source>from %1</source>
        <translation>с %1</translation>
    </message>
    <message>
        <source>an undo</source>
        <translation>отмена действия</translation>
    </message>
    <message>
        <source>partly undone</source>
        <translation>частично отменено</translation>
    </message>
    <message>
        <source>undone</source>
        <translation>отменено</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Корзина</translation>
    </message>
</context>
<context>
    <name>HistoryRowDelegate</name>
    <message>
        <source>UNDO</source>
        <translation>ОТМЕНА</translation>
    </message>
    <message>
        <source>UNDONE</source>
        <translation>ОТМЕНЕНО</translation>
    </message>
    <message>
        <source>PARTLY UNDONE</source>
        <translation>ЧАСТИЧНО ОТМЕНЕНО</translation>
    </message>
    <message>
        <source>%1 (slot %2)</source>
        <translation>%1 (слот %2)</translation>
    </message>
    <message>
        <source>%1  ·  from %2</source>
        <translation>%1  ·  с %2</translation>
    </message>
</context>
<context>
    <name>HistoryStore</name>
    <message>
        <source>%1, and it could not be kept aside (%2)</source>
        <translation>%1, и отложить его в сторону не удалось (%2)</translation>
    </message>
    <message>
        <source>The history could not be read (%1). It was kept as %2 and a new history was started.</source>
        <translation>Не удалось прочитать историю (%1). Она сохранена как %2, начата новая история.</translation>
    </message>
    <message>
        <source>the history file could not be opened</source>
        <translation>не удалось открыть файл истории</translation>
    </message>
    <message>
        <source>This action is already being undone</source>
        <translation>Это действие уже отменяется</translation>
    </message>
    <message>
        <source>History is unavailable: %1</source>
        <translation>История недоступна: %1</translation>
    </message>
    <message>
        <source>This action is no longer in the history</source>
        <translation>Этого действия больше нет в истории</translation>
    </message>
    <message>
        <source>%1 could not be removed</source>
        <translation>Не удалось удалить %1</translation>
    </message>
    <message>
        <source>The history could not be deleted: %1</source>
        <translation>Не удалось удалить историю: %1</translation>
    </message>
    <message>
        <source>History deleted</source>
        <translation>История удалена</translation>
    </message>
</context>
<context>
    <name>HistoryUndo</name>
    <message>
        <source>trashed</source>
        <translation>перемещения в корзину</translation>
    </message>
    <message>
        <source>renamed</source>
        <translation>переименования</translation>
    </message>
    <message>
        <source>filed</source>
        <translation>перемещения</translation>
    </message>
    <message>
        <source>%1 is back in %2</source>
        <translation>%1 снова в %2</translation>
    </message>
    <message>
        <source>%1 is back in %2 as %3, because %1 is taken there</source>
        <translation>%1 снова в %2 под именем %3, так как имя %1 там занято</translation>
    </message>
    <message>
        <source>These %1 were only skipped: nothing to undo</source>
        <translation>Эти %1 были только пропущены: отменять нечего</translation>
    </message>
    <message>
        <source>An undo cannot be undone from the history</source>
        <translation>Отмену действия нельзя отменить из истории</translation>
    </message>
    <message>
        <source>These %1 were already put back</source>
        <translation>Эти %1 уже возвращены</translation>
    </message>
    <message>
        <source>back in %1</source>
        <translation>возвращены в %1</translation>
    </message>
    <message>
        <source>back where they were</source>
        <translation>возвращены на прежние места</translation>
    </message>
    <message>
        <source>None of the %1 could be put back</source>
        <translation>Не удалось вернуть ни один элемент (%1)</translation>
    </message>
    <message>
        <source>%1 are %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>%1 of %2 are %3</source>
        <translation>%2: %1 из них %3</translation>
    </message>
    <message>
        <source>%1 (one under a new name, because its name is taken there)</source>
        <translation>%1 (один — под новым именем, так как его имя там занято)</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%n under new names, because theirs are taken there)</source>
        <translation>
            <numerusform>%1 (%n — под новым именем, так как их имена там заняты)</numerusform>
            <numerusform>%1 (%n — под новыми именами, так как их имена там заняты)</numerusform>
            <numerusform>%1 (%n — под новыми именами, так как их имена там заняты)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>и ещё %n</numerusform>
            <numerusform>и ещё %n</numerusform>
            <numerusform>и ещё %n</numerusform>
        </translation>
    </message>
    <message>
        <source>%1; not restored: %2</source>
        <translation>%1; не восстановлено: %2</translation>
    </message>
    <message>
        <source>%1 was already put back</source>
        <translation>Элемент %1 уже возвращён</translation>
    </message>
    <message>
        <source>%1 was only skipped: nothing to undo</source>
        <translation>Элемент %1 был только пропущен: отменять нечего</translation>
    </message>
    <message>
        <source>the Trash</source>
        <translation>корзине</translation>
    </message>
    <message>
        <source>%1 is no longer in %2</source>
        <translation>%1 больше нет в %2</translation>
    </message>
    <message>
        <source>%1 cannot be checked: the history does not know which file was %2</source>
        <translation>Не удаётся проверить %1: в истории не записано, какой именно файл был объектом %2</translation>
    </message>
    <message>
        <source>%1 was changed since it was %2</source>
        <translation>Элемент %1 изменён после %2</translation>
    </message>
    <message>
        <source>%1 in %2 was replaced since it was %3</source>
        <translation>Элемент %1 в %2 заменён после %3</translation>
    </message>
    <message>
        <source>The Trash&apos;s record of %1 was replaced since it was trashed</source>
        <translation>Запись корзины об элементе %1 заменена после его перемещения в корзину</translation>
    </message>
    <message>
        <source>%1 could not be restored: %2</source>
        <translation>Не удалось восстановить %1: %2</translation>
    </message>
    <message>
        <source>%1 cannot go back: %2 no longer exists</source>
        <translation>Невозможно вернуть %1: папки %2 больше нет</translation>
    </message>
    <message>
        <source>%1 could not be put back: %2</source>
        <translation>Не удалось вернуть %1: %2</translation>
    </message>
</context>
<context>
    <name>HistoryView</name>
    <message>
        <source>History is unavailable: %1</source>
        <translation>История недоступна: %1</translation>
    </message>
    <message>
        <source>History</source>
        <translation>История</translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation>Закрыть (Esc)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Type to filter by name, folder or website</source>
        <translation>Фильтр по имени, папке или сайту</translation>
    </message>
    <message>
        <source>Filter the history</source>
        <translation>Фильтр истории</translation>
    </message>
    <message>
        <source>Past actions</source>
        <translation>Выполненные действия</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Выбрать</translation>
    </message>
    <message>
        <source>Show in File Manager</source>
        <translation>Показать в папке</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Отменить</translation>
    </message>
    <message>
        <source>it could not be started</source>
        <translation>её не удалось открыть</translation>
    </message>
    <message>
        <source>Nothing filed yet</source>
        <translation>Пока ничего не разложено</translation>
    </message>
    <message>
        <source>Nothing in the history matches “%1”</source>
        <translation>В истории нет совпадений с «%1»</translation>
    </message>
    <message>
        <source>Putting back %1…</source>
        <translation>Возврат %1…</translation>
    </message>
</context>
<context>
    <name>InboxFolders</name>
    <message>
        <source>%1 is not a full folder path</source>
        <translation>%1 — не полный путь к папке</translation>
    </message>
    <message>
        <source>%1 is the Downloads folder, which is always watched</source>
        <translation>%1 — папка «Загрузки», она отслеживается всегда</translation>
    </message>
    <message>
        <source>%1 is inside the Downloads folder</source>
        <translation>%1 находится внутри папки «Загрузки»</translation>
    </message>
    <message>
        <source>%1 holds the Downloads folder</source>
        <translation>%1 содержит папку «Загрузки»</translation>
    </message>
    <message>
        <source>%1 is watched already</source>
        <translation>%1 уже отслеживается</translation>
    </message>
    <message>
        <source>%1 is inside %2, which is watched</source>
        <translation>%1 находится внутри отслеживаемой папки %2</translation>
    </message>
    <message>
        <source>%1 holds %2, which is watched</source>
        <translation>%1 содержит отслеживаемую папку %2</translation>
    </message>
</context>
<context>
    <name>InlineRenameView</name>
    <message>
        <source>New filename</source>
        <translation>Новое имя файла</translation>
    </message>
    <message>
        <source>New file name</source>
        <translation>Новое имя файла</translation>
    </message>
    <message>
        <source>Press Return to confirm, Escape to cancel</source>
        <translation>Нажмите Enter для подтверждения или Escape для отмены</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Переименовать</translation>
    </message>
    <message>
        <source>Confirm rename</source>
        <translation>Подтвердить переименование</translation>
    </message>
    <message>
        <source>Renames the item to the new name (Return)</source>
        <translation>Присваивает элементу новое имя (Enter)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Cancel rename</source>
        <translation>Отменить переименование</translation>
    </message>
    <message>
        <source>Keeps the old name (Escape)</source>
        <translation>Оставляет прежнее имя (Escape)</translation>
    </message>
</context>
<context>
    <name>JsonFile</name>
    <message>
        <source>Could not save %1: %2</source>
        <translation>Не удалось сохранить %1: %2</translation>
    </message>
</context>
<context>
    <name>KeyboardCheatSheetView</name>
    <message>
        <source>Tip: You can press &apos;?&apos; at any time while triaging to view this cheat sheet.</source>
        <translation>Совет: нажмите «?» в любой момент разбора, чтобы открыть эту шпаргалку.</translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Комбинации клавиш</translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation>Закрыть (Esc)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Closes the keyboard shortcuts (Esc)</source>
        <translation>Закрывает список комбинаций клавиш (Esc)</translation>
    </message>
    <message>
        <source>Got it</source>
        <translation>Понятно</translation>
    </message>
    <message>
        <source>Closes the keyboard shortcuts</source>
        <translation>Закрывает список комбинаций клавиш</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Выкл.</translation>
    </message>
    <message>
        <source>Open Stowbird from anywhere on the desktop (not available here; see Preferences)</source>
        <translation>Открыть Stowbird из любого места рабочего стола (здесь недоступно; см. параметры)</translation>
    </message>
    <message>
        <source>Open Stowbird from anywhere on the desktop (turned off in Preferences)</source>
        <translation>Открыть Stowbird из любого места рабочего стола (отключено в параметрах)</translation>
    </message>
    <message>
        <source>Open Stowbird from anywhere on the desktop</source>
        <translation>Открыть Stowbird из любого места рабочего стола</translation>
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
            <numerusform>%n похожий: %1 … %2</numerusform>
            <numerusform>%n похожих: %1 … %2</numerusform>
            <numerusform>%n похожих: %1 … %2</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NewDownloadNotifier</name>
    <message>
        <source>Open Stowbird</source>
        <translation>Открыть Stowbird</translation>
    </message>
    <message>
        <source>New download</source>
        <translation>Новая загрузка</translation>
    </message>
    <message numerus="yes">
        <source>%n new downloads</source>
        <translation>
            <numerusform>%n новая загрузка</numerusform>
            <numerusform>%n новые загрузки</numerusform>
            <numerusform>%n новых загрузок</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>и ещё %n</numerusform>
            <numerusform>и ещё %n</numerusform>
            <numerusform>и ещё %n</numerusform>
        </translation>
    </message>
    <message>
        <source>File to %1</source>
        <translation>Переместить в %1</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>В корзину</translation>
    </message>
    <message>
        <source>%1 was not moved to the Trash</source>
        <translation>Элемент %1 не перемещён в корзину</translation>
    </message>
    <message>
        <source>%1 was not filed</source>
        <translation>Элемент %1 не перемещён</translation>
    </message>
    <message>
        <source>It is no longer waiting in Stowbird.</source>
        <translation>Его больше нет в очереди Stowbird.</translation>
    </message>
</context>
<context>
    <name>PreviewLoader</name>
    <message>
        <source>Folder</source>
        <translation>Папка</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>Документ</translation>
    </message>
    <message>
        <source>%1 File</source>
        <translation>Файл %1</translation>
    </message>
    <message>
        <source>This file cannot be read.</source>
        <translation>Не удаётся прочитать этот файл.</translation>
    </message>
    <message>
        <source>This PDF could not be opened.</source>
        <translation>Не удалось открыть этот PDF.</translation>
    </message>
    <message>
        <source>Reading this archive took too long.</source>
        <translation>Чтение архива заняло слишком много времени.</translation>
    </message>
    <message>
        <source>The contents of this archive could not be read.</source>
        <translation>Не удалось прочитать содержимое архива.</translation>
    </message>
    <message>
        <source>This image could not be read.</source>
        <translation>Не удалось прочитать изображение.</translation>
    </message>
</context>
<context>
    <name>PrivacySettingsSection</name>
    <message>
        <source>Privacy &amp; Diagnostics</source>
        <translation>Конфиденциальность и диагностика</translation>
    </message>
    <message>
        <source>Suggest destinations from history</source>
        <translation>Предлагать места назначения на основе истории</translation>
    </message>
    <message>
        <source>Highlights where items like the current one went before; Return files it there. Learned from this computer&apos;s history only; takes effect on Save</source>
        <translation>Выделяет место, куда раньше перемещались похожие элементы; Enter перемещает элемент туда. Используется только история этого компьютера; применяется после сохранения</translation>
    </message>
    <message>
        <source>Forget History…</source>
        <translation>Забыть историю…</translation>
    </message>
    <message>
        <source>Deletes the history of triage actions and what was learned from it, after asking</source>
        <translation>После подтверждения удаляет историю действий разбора и всё, что было из неё изучено</translation>
    </message>
    <message>
        <source>Send anonymous usage counts to the developers</source>
        <translation>Отправлять разработчикам анонимную статистику использования</translation>
    </message>
    <message>
        <source>Once per session: counts of actions and kinds of files. Names, paths, contents and crash reports are never sent.</source>
        <translation>Раз за сеанс: количество действий и типы файлов. Имена, пути, содержимое и отчёты о сбоях никогда не отправляются.</translation>
    </message>
    <message>
        <source>Keep anonymous usage counts on this computer (nothing is sent)</source>
        <translation>Вести анонимную статистику локально (без отправки)</translation>
    </message>
    <message>
        <source>Crash reports stay here too. File names, folder paths and file contents are never recorded.</source>
        <translation>Отчёты о сбоях тоже остаются здесь. Имена и содержимое файлов и пути к папкам не записываются.</translation>
    </message>
    <message>
        <source>%1 Takes effect on Save.</source>
        <translation>%1 Применяется после сохранения.</translation>
    </message>
    <message>
        <source>Forget the history? Every recorded action and what Stowbird learned from it is deleted, and earlier actions can no longer be undone from the history.</source>
        <translation>Забыть историю? Все записанные действия и всё, что Stowbird из них изучил, будут удалены, и прежние действия больше нельзя будет отменить из истории.</translation>
    </message>
    <message>
        <source>Forget History</source>
        <translation>Забыть историю</translation>
    </message>
    <message>
        <source>Deleting the history…</source>
        <translation>Удаление истории…</translation>
    </message>
</context>
<context>
    <name>QuickLookHostView</name>
    <message>
        <source>%1 at %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Предпросмотр</translation>
    </message>
    <message>
        <source>Preview of %1</source>
        <translation>Предпросмотр %1</translation>
    </message>
    <message>
        <source>Nothing to preview</source>
        <translation>Нечего показать</translation>
    </message>
    <message>
        <source>Showing the first %1 of this file.</source>
        <translation>Показаны первые %1 этого файла.</translation>
    </message>
    <message>
        <source>Created %1</source>
        <translation>Дата создания: %1</translation>
    </message>
    <message>
        <source>Modified %1</source>
        <translation>Дата изменения: %1</translation>
    </message>
    <message>
        <source>No preview could be made: %1</source>
        <translation>Не удалось создать предпросмотр: %1</translation>
    </message>
</context>
<context>
    <name>RelativeTimeFormatter</name>
    <message numerus="yes">
        <source>%n years ago</source>
        <translation>
            <numerusform>%n год назад</numerusform>
            <numerusform>%n года назад</numerusform>
            <numerusform>%n лет назад</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n years</source>
        <translation>
            <numerusform>через %n год</numerusform>
            <numerusform>через %n года</numerusform>
            <numerusform>через %n лет</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n months ago</source>
        <translation>
            <numerusform>%n месяц назад</numerusform>
            <numerusform>%n месяца назад</numerusform>
            <numerusform>%n месяцев назад</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n months</source>
        <translation>
            <numerusform>через %n месяц</numerusform>
            <numerusform>через %n месяца</numerusform>
            <numerusform>через %n месяцев</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n weeks ago</source>
        <translation>
            <numerusform>%n неделю назад</numerusform>
            <numerusform>%n недели назад</numerusform>
            <numerusform>%n недель назад</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n weeks</source>
        <translation>
            <numerusform>через %n неделю</numerusform>
            <numerusform>через %n недели</numerusform>
            <numerusform>через %n недель</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n days ago</source>
        <translation>
            <numerusform>%n день назад</numerusform>
            <numerusform>%n дня назад</numerusform>
            <numerusform>%n дней назад</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n days</source>
        <translation>
            <numerusform>через %n день</numerusform>
            <numerusform>через %n дня</numerusform>
            <numerusform>через %n дней</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n hours ago</source>
        <translation>
            <numerusform>%n час назад</numerusform>
            <numerusform>%n часа назад</numerusform>
            <numerusform>%n часов назад</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n hours</source>
        <translation>
            <numerusform>через %n час</numerusform>
            <numerusform>через %n часа</numerusform>
            <numerusform>через %n часов</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n minutes ago</source>
        <translation>
            <numerusform>%n минуту назад</numerusform>
            <numerusform>%n минуты назад</numerusform>
            <numerusform>%n минут назад</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n minutes</source>
        <translation>
            <numerusform>через %n минуту</numerusform>
            <numerusform>через %n минуты</numerusform>
            <numerusform>через %n минут</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n seconds ago</source>
        <translation>
            <numerusform>%n секунду назад</numerusform>
            <numerusform>%n секунды назад</numerusform>
            <numerusform>%n секунд назад</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>in %n seconds</source>
        <translation>
            <numerusform>через %n секунду</numerusform>
            <numerusform>через %n секунды</numerusform>
            <numerusform>через %n секунд</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SettingsSheet</name>
    <message>
        <source>Stowbird Preferences</source>
        <translation>Параметры Stowbird</translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>Stowbird Preferences</source>
        <translation>Параметры Stowbird</translation>
    </message>
    <message>
        <source>Restore Defaults</source>
        <translation>По умолчанию</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Puts back the default slots, debounce delay and global shortcut; nothing changes before Save</source>
        <translation>Возвращает слоты, задержку завершения загрузки и глобальную комбинацию клавиш по умолчанию; до сохранения ничего не меняется</translation>
    </message>
    <message>
        <source>Closes the preferences; nothing changed here takes effect</source>
        <translation>Закрывает параметры; внесённые здесь изменения не применяются</translation>
    </message>
    <message>
        <source>Saves every change made here (Return)</source>
        <translation>Сохраняет все внесённые здесь изменения (Enter)</translation>
    </message>
    <message>
        <source>Select Folder</source>
        <translation>Выбор папки</translation>
    </message>
</context>
<context>
    <name>SlotListEditor</name>
    <message>
        <source>Destination Slots (Keys 1-9)</source>
        <translation>Слоты назначения (клавиши 1–9)</translation>
    </message>
    <message>
        <source>Add Slot</source>
        <translation>Добавить слот</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Обзор...</translation>
    </message>
    <message>
        <source>Browse for the slot %1 folder</source>
        <translation>Выбрать папку для слота %1</translation>
    </message>
    <message>
        <source>Chooses the folder of slot %1</source>
        <translation>Выбирает папку слота %1</translation>
    </message>
    <message>
        <source>Move slot %1 up</source>
        <translation>Переместить слот %1 вверх</translation>
    </message>
    <message>
        <source>Gives this slot key %1 (Alt+Up)</source>
        <translation>Назначает этому слоту клавишу %1 (Alt+Up)</translation>
    </message>
    <message>
        <source>Move slot %1 down</source>
        <translation>Переместить слот %1 вниз</translation>
    </message>
    <message>
        <source>Gives this slot key %1 (Alt+Down)</source>
        <translation>Назначает этому слоту клавишу %1 (Alt+Down)</translation>
    </message>
    <message>
        <source>Remove slot %1</source>
        <translation>Удалить слот %1</translation>
    </message>
    <message>
        <source>Removes this slot; the slots below it move up a key</source>
        <translation>Удаляет этот слот; слоты ниже сдвигаются на одну клавишу вверх</translation>
    </message>
    <message>
        <source>Slot Name</source>
        <translation>Имя слота</translation>
    </message>
    <message>
        <source>Slot %1 name</source>
        <translation>Имя слота %1</translation>
    </message>
    <message>
        <source>The name shown for key %1; Alt+Up and Alt+Down move the slot</source>
        <translation>Имя, показываемое для клавиши %1; Alt+Up и Alt+Down перемещают слот</translation>
    </message>
    <message>
        <source>Path (%1)</source>
        <translation>Путь (%1)</translation>
    </message>
    <message>
        <source>Slot %1 folder</source>
        <translation>Папка слота %1</translation>
    </message>
    <message>
        <source>The folder that key %1 moves items to; ~ is your home folder</source>
        <translation>Папка, в которую клавиша %1 перемещает элементы; ~ — ваша домашняя папка</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Создать</translation>
    </message>
    <message>
        <source>This folder does not exist: click to create it</source>
        <translation>Эта папка не существует: нажмите, чтобы создать её</translation>
    </message>
    <message>
        <source>Create the missing slot %1 folder</source>
        <translation>Создать отсутствующую папку слота %1</translation>
    </message>
    <message>
        <source>The folder of slot %1 does not exist</source>
        <translation>Папка слота %1 не существует</translation>
    </message>
    <message>
        <source>Adds a slot for key %1</source>
        <translation>Добавляет слот для клавиши %1</translation>
    </message>
    <message>
        <source>Nine slots at most: keys 1 to 9 are all taken. Remove a slot to add another.</source>
        <translation>Не более девяти слотов: все клавиши с 1 по 9 заняты. Удалите слот, чтобы добавить другой.</translation>
    </message>
    <message>
        <source>Not created: %1</source>
        <translation>Не создано: %1</translation>
    </message>
    <message>
        <source>Create Folder</source>
        <translation>Создать папку</translation>
    </message>
</context>
<context>
    <name>TrayStatusItem</name>
    <message>
        <source>Stowbird: Downloads Inbox Zero</source>
        <translation>Stowbird: загрузки разобраны</translation>
    </message>
    <message numerus="yes">
        <source>Stowbird: %n waiting</source>
        <translation>
            <numerusform>Stowbird: %n ожидает</numerusform>
            <numerusform>Stowbird: %n ожидают</numerusform>
            <numerusform>Stowbird: %n ожидают</numerusform>
        </translation>
    </message>
    <message>
        <source>Stowbird: Looking through Downloads…</source>
        <translation>Stowbird: просмотр загрузок…</translation>
    </message>
    <message>
        <source>Stowbird: Finishing…</source>
        <translation>Stowbird: завершение…</translation>
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
        <translation>Элемент изменился во время копирования.</translation>
    </message>
    <message>
        <source>The copy does not match the original.</source>
        <translation>Копия не совпадает с оригиналом.</translation>
    </message>
    <message>
        <source>The link changed while it was being copied.</source>
        <translation>Ссылка изменилась во время копирования.</translation>
    </message>
</context>
<context>
    <name>TriageActionController</name>
    <message>
        <source>Cancelled; nothing changed</source>
        <translation>Отменено; ничего не изменилось</translation>
    </message>
    <message>
        <source>Not moved: %1 is no longer waiting</source>
        <translation>Не перемещено: %1 больше нет в очереди</translation>
    </message>
    <message>
        <source>Moved %1 to Trash</source>
        <translation>Перемещено в корзину: %1</translation>
    </message>
    <message>
        <source>Moved to %1: %2</source>
        <translation>Перемещено в %1: %2</translation>
    </message>
    <message>
        <source>Failed to move: %1</source>
        <translation>Не удалось переместить: %1</translation>
    </message>
    <message>
        <source>Error: %1</source>
        <translation>Ошибка: %1</translation>
    </message>
    <message>
        <source>Nothing filed yet: file one item first</source>
        <translation>Пока ничего не перемещено: сначала переместите хотя бы один элемент</translation>
    </message>
    <message>
        <source>Failed to trash file: %1</source>
        <translation>Не удалось переместить файл в корзину: %1</translation>
    </message>
    <message>
        <source>Skipped %1</source>
        <translation>Пропущено: %1</translation>
    </message>
    <message>
        <source>Renamed to %1</source>
        <translation>Переименовано в %1</translation>
    </message>
    <message>
        <source>Renamed to %1 (%2 was taken)</source>
        <translation>Переименовано в %1 (имя %2 занято)</translation>
    </message>
    <message>
        <source>Rename error: %1</source>
        <translation>Ошибка переименования: %1</translation>
    </message>
    <message>
        <source>Undo error: %1</source>
        <translation>Ошибка отмены действия: %1</translation>
    </message>
</context>
<context>
    <name>TriageContainerView</name>
    <message>
        <source>Move Here</source>
        <translation>Переместить сюда</translation>
    </message>
    <message>
        <source>Choose a Folder</source>
        <translation>Выбор папки</translation>
    </message>
    <message>
        <source>Inbox Zero</source>
        <translation>Всё разобрано</translation>
    </message>
    <message numerus="yes">
        <source>%n items remaining</source>
        <translation>
            <numerusform>Остался %n элемент</numerusform>
            <numerusform>Осталось %n элемента</numerusform>
            <numerusform>Осталось %n элементов</numerusform>
        </translation>
    </message>
    <message>
        <source>Looking…</source>
        <translation>Поиск…</translation>
    </message>
    <message>
        <source>Finishing…</source>
        <translation>Завершение…</translation>
    </message>
</context>
<context>
    <name>TriageEmptyPage</name>
    <message>
        <source>All completed downloads have been organized. Stowbird is actively monitoring %1 for new files.</source>
        <translation>Все завершённые загрузки разобраны. Stowbird следит за появлением новых файлов: %1.</translation>
    </message>
    <message>
        <source>Bring the skipped files back into the queue (%1)</source>
        <translation>Вернуть пропущенные файлы в очередь (%1)</translation>
    </message>
    <message>
        <source>Brings the skipped files back into the queue (%1)</source>
        <translation>Возвращает пропущенные файлы в очередь (%1)</translation>
    </message>
    <message>
        <source>Stowbird is listing %1; the first file shows here as soon as it is found.</source>
        <translation>Stowbird просматривает %1; первый найденный файл сразу появится здесь.</translation>
    </message>
    <message>
        <source>Stowbird is finishing the last file action; the item comes back here if it fails.</source>
        <translation>Stowbird завершает последнюю операцию с файлом; если она не удастся, элемент вернётся сюда.</translation>
    </message>
    <message numerus="yes">
        <source>Review %n Skipped Files</source>
        <translation>
            <numerusform>Просмотреть %n пропущенный файл</numerusform>
            <numerusform>Просмотреть %n пропущенных файла</numerusform>
            <numerusform>Просмотреть %n пропущенных файлов</numerusform>
        </translation>
    </message>
    <message>
        <source>Looking through Downloads…</source>
        <translation>Просмотр загрузок…</translation>
    </message>
    <message>
        <source>Finishing…</source>
        <translation>Завершение…</translation>
    </message>
    <message>
        <source>Downloads Inbox Zero</source>
        <translation>Загрузки разобраны</translation>
    </message>
    <message>
        <source>%1 and one other folder</source>
        <translation>%1 (и ещё одна папка)</translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n other folders</source>
        <translation>
            <numerusform>%1 (и ещё %n папка)</numerusform>
            <numerusform>%1 (и ещё %n папки)</numerusform>
            <numerusform>%1 (и ещё %n папок)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TriageHUDPanel</name>
    <message>
        <source>Dismiss</source>
        <translation>Скрыть</translation>
    </message>
</context>
<context>
    <name>TriageHeadCommands</name>
    <message>
        <source>Not moved: the folder of %1 is missing (press %2 to create it for this file)</source>
        <translation>Не перемещено: папка слота %1 отсутствует (нажмите %2, чтобы создать её для этого файла)</translation>
    </message>
    <message>
        <source>No suggestion for this item</source>
        <translation>Для этого элемента нет предложения</translation>
    </message>
</context>
<context>
    <name>TriageHeaderBar</name>
    <message>
        <source>Keyboard Shortcuts (%1)</source>
        <translation>Комбинации клавиш (%1)</translation>
    </message>
    <message>
        <source>Configure Destination Slots</source>
        <translation>Настроить слоты назначения</translation>
    </message>
    <message>
        <source>Close (%1)</source>
        <translation>Закрыть (%1)</translation>
    </message>
</context>
<context>
    <name>TriageItem</name>
    <message>
        <source>Folder</source>
        <translation>Папка</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
</context>
<context>
    <name>TriageKeyTable</name>
    <message>
        <source>Move to Slot 1–9</source>
        <translation>Переместить в слот 1–9</translation>
    </message>
    <message>
        <source>Move all alike to Slot 1–9</source>
        <translation>Переместить все похожие в слот 1–9</translation>
    </message>
    <message>
        <source>Browse custom folder...</source>
        <translation>Выбрать другую папку...</translation>
    </message>
    <message>
        <source>Move where the last file went</source>
        <translation>Переместить туда же, куда предыдущий файл</translation>
    </message>
    <message>
        <source>Move to Trash</source>
        <translation>Переместить в корзину</translation>
    </message>
    <message>
        <source>Trash file</source>
        <translation>В корзину</translation>
    </message>
    <message>
        <source>Move all alike to Trash</source>
        <translation>Переместить все похожие в корзину</translation>
    </message>
    <message>
        <source>Skip to back of queue</source>
        <translation>Пропустить (в конец очереди)</translation>
    </message>
    <message>
        <source>Skip to end</source>
        <translation>Пропустить</translation>
    </message>
    <message>
        <source>Look through all alike</source>
        <translation>Просмотреть все похожие</translation>
    </message>
    <message>
        <source>Cancel the running move</source>
        <translation>Отменить текущее перемещение</translation>
    </message>
    <message>
        <source>Inline rename file</source>
        <translation>Переименовать файл на месте</translation>
    </message>
    <message>
        <source>Inline rename</source>
        <translation>Переименовать</translation>
    </message>
    <message>
        <source>Undo last triage action</source>
        <translation>Отменить последнее действие разбора</translation>
    </message>
    <message>
        <source>Undo last action</source>
        <translation>Отменить действие</translation>
    </message>
    <message>
        <source>Reveal in File Manager</source>
        <translation>Показать в файловом менеджере</translation>
    </message>
    <message>
        <source>Open in File Manager</source>
        <translation>Показать в папке</translation>
    </message>
    <message>
        <source>Open preview in default app</source>
        <translation>Открыть в приложении по умолчанию</translation>
    </message>
    <message>
        <source>Show history</source>
        <translation>Показать историю</translation>
    </message>
    <message>
        <source>Toggle this cheat sheet</source>
        <translation>Показать или скрыть эту шпаргалку</translation>
    </message>
    <message>
        <source>Open Preferences</source>
        <translation>Открыть параметры</translation>
    </message>
    <message>
        <source>Close Stowbird window</source>
        <translation>Закрыть окно Stowbird</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Quit application</source>
        <translation>Выйти из приложения</translation>
    </message>
    <message>
        <source>TRIAGE &amp; ROUTING</source>
        <translation>РАЗБОР И РАСПРЕДЕЛЕНИЕ</translation>
    </message>
    <message>
        <source>REVIEW &amp; ACTIONS</source>
        <translation>ПРОСМОТР И ДЕЙСТВИЯ</translation>
    </message>
    <message>
        <source>GENERAL</source>
        <translation>ОБЩИЕ</translation>
    </message>
    <message>
        <source>or</source>
        <translation>или</translation>
    </message>
</context>
<context>
    <name>TriageKeyboard</name>
    <message>
        <source>No slot %1: add one in Preferences</source>
        <translation>Слота %1 нет: добавьте его в параметрах</translation>
    </message>
</context>
<context>
    <name>TriagePreviewPane</name>
    <message>
        <source>Large File (%1)</source>
        <translation>Большой файл (%1)</translation>
    </message>
    <message>
        <source>Preview deferred to prevent UI lag.</source>
        <translation>Предпросмотр отложен, чтобы не замедлять интерфейс.</translation>
    </message>
    <message>
        <source>Load Preview</source>
        <translation>Показать</translation>
    </message>
</context>
<context>
    <name>TriageQueueManager</name>
    <message>
        <source>Skip list not saved. %1</source>
        <translation>Список пропущенных не сохранён. %1</translation>
    </message>
</context>
<context>
    <name>TriageRenamePanel</name>
    <message>
        <source>RENAME FILE</source>
        <translation>ПЕРЕИМЕНОВАНИЕ ФАЙЛА</translation>
    </message>
    <message>
        <source>Press Return to confirm, Escape to cancel</source>
        <translation>Нажмите Enter для подтверждения или Escape для отмены</translation>
    </message>
</context>
<context>
    <name>TriageSheets</name>
    <message>
        <source>Could not create the folder: %1</source>
        <translation>Не удалось создать папку: %1</translation>
    </message>
    <message>
        <source>Create and Move</source>
        <translation>Создать и переместить</translation>
    </message>
</context>
<context>
    <name>UpdateWindow</name>
    <message>
        <source>Download Update</source>
        <translation>Загрузить</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Software Update</source>
        <translation>Обновление программы</translation>
    </message>
    <message>
        <source>Checking for updates…</source>
        <translation>Проверка обновлений…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>A new version of Stowbird is available!</source>
        <translation>Доступна новая версия Stowbird!</translation>
    </message>
    <message>
        <source>Stowbird %1 is now available (you have %2). Would you like to download it now?</source>
        <translation>Доступна версия Stowbird %1 (у вас установлена %2). Загрузить её сейчас?</translation>
    </message>
    <message>
        <source>Remind Me Later</source>
        <translation>Напомнить позже</translation>
    </message>
    <message>
        <source>You&apos;re up to date!</source>
        <translation>Установлена последняя версия!</translation>
    </message>
    <message>
        <source>Stowbird %1 is currently the newest version available.</source>
        <translation>Stowbird %1 — самая новая из доступных версий.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Update Error!</source>
        <translation>Ошибка обновления!</translation>
    </message>
    <message>
        <source>An error occurred in retrieving update information. Please try again later.

%1</source>
        <translation>При получении сведений об обновлениях произошла ошибка. Повторите попытку позже.

%1</translation>
    </message>
</context>
<context>
    <name>WatchedFoldersRow</name>
    <message>
        <source>Watching:</source>
        <translation>Отслеживаются:</translation>
    </message>
    <message>
        <source>Watched folders</source>
        <translation>Отслеживаемые папки</translation>
    </message>
    <message>
        <source>Watch Another Folder...</source>
        <translation>Отслеживать ещё папку...</translation>
    </message>
    <message>
        <source>Watches another folder for new items, as Downloads is</source>
        <translation>Отслеживает появление новых элементов ещё в одной папке, как в «Загрузках»</translation>
    </message>
    <message>
        <source>%1: always watched</source>
        <translation>%1: отслеживается всегда</translation>
    </message>
    <message>
        <source>%1: watched for new items</source>
        <translation>%1: отслеживается появление новых элементов</translation>
    </message>
    <message>
        <source>%1: not watched, %2</source>
        <translation>%1: не отслеживается, %2</translation>
    </message>
    <message>
        <source>Stop watching %1</source>
        <translation>Прекратить отслеживание %1</translation>
    </message>
    <message>
        <source>Removes this folder from the watched folders; its items leave the queue</source>
        <translation>Убирает эту папку из отслеживаемых; её элементы покидают очередь</translation>
    </message>
    <message>
        <source>Not added: %1</source>
        <translation>Не добавлено: %1</translation>
    </message>
</context>
<context>
    <name>XdgAutostartBackend</name>
    <message>
        <source>The Stowbird program file could not be found.</source>
        <translation>Не удалось найти исполняемый файл Stowbird.</translation>
    </message>
    <message>
        <source>The autostart folder %1 could not be created.</source>
        <translation>Не удалось создать папку автозапуска %1.</translation>
    </message>
    <message>
        <source>The autostart entry %1 could not be written: %2</source>
        <translation>Не удалось записать элемент автозапуска %1: %2</translation>
    </message>
    <message>
        <source>The autostart entry %1 could not be removed: %2</source>
        <translation>Не удалось удалить элемент автозапуска %1: %2</translation>
    </message>
</context>
</TS>
