// The command table, the menus, the context menu and the toolbars of the main window.
#include "base/QtText.h"
#include "shell/TForm1.h"

#include "shell/MenuKeys.h"
#include "shell/ToolBarFit.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace vocalix::shell {

namespace {

struct CommandRow {
    const char* name;
    const char* category;
    const char* caption;
    const char* key;
    const char* tip;
    const char* status; // empty: the tool tip serves as both
    void (TForm1::*handler)();
};

// One row per command: name, category, caption, shortcut, tool tip, status-line text.
const CommandRow kCommands[] = {
    {"ACreate", "Файлы", "Создать", "", "Создать", "Создать новый документ",
     &TForm1::ACreateExecute},
    {"AOpen", "Файлы", "Открыть...", "Ctrl+O", "Открыть...", "Открыть документ",
     &TForm1::AOpenExecute},
    {"ASave", "Файлы", "Сохранить", "Ctrl+S", "Сохранить", "Сохранить документ",
     &TForm1::ASaveExecute},
    {"ASaveAs", "Файлы", "Сохранить как...", "", "Сохранить как...",
     "Сохранить документ с новым именем", &TForm1::ASaveAsExecute},
    {"APrintNP", "Файлы", "Печать", "", "Печать", "Печать через внешнюю программу (Блокнот)",
     &TForm1::APrintNPExecute},
    {"AMSWord", "Файлы", "Передать в MS Word", "", "Передать текст в MS Word", "",
     &TForm1::AMSWordExecute},
    {"AMP3", "Файлы", "Записать аудио", "Ctrl+M", "Записать аудио", "Записать аудиофайл",
     &TForm1::AMP3Execute},
    {"AExit", "Файлы", "Выход", "Ctrl+Q", "Выход (Ctrl+Q)", "Выход из программы",
     &TForm1::AExitExecute},
    {"AParag", "Формат", "Литературный текст", "", "Литературный текст",
     "Придать тексту аккуратный вид", &TForm1::AParagExecute},
    {"AFont", "Формат", "Шрифт...", "", "Шрифт...", "Параметры шрифта", &TForm1::AFontExecute},
    {"AFind", "Edit", "Найти...", "Ctrl+F", "Найти...", "Найти в тексте заданный фрагмент",
     &TForm1::AFindExecute},
    {"AReplace", "Edit", "Заменить...", "Ctrl+H", "Заменить...", "Заменить фрагмент текста",
     &TForm1::AReplaceExecute},
    {"ADeleBreaks", "Edit", "Удалить переносы", "", "Удалить переносы",
     "Удалить перносы в конце строк", &TForm1::ADeleBreaksExecute},
    {"ASpeak", "Речь", "Прочесть", "F5", "Прочесть", "Прочесть текст", &TForm1::ASpeakExecute},
    {"APause", "Речь", "Пауза", "F6", "Пауза", "Приостановить чтение", &TForm1::APauseExecute},
    {"AStop", "Речь", "Стоп", "F7", "Стоп", "Остановить чтение", &TForm1::AStopExecute},
    {"ABackGround", "Формат", "Фон...", "", "Фон...", "Настройка цветового фона",
     &TForm1::ABackGroundExecute},
    {"ASetPrefs", "Настройки", "Общие настройки...", "", "Общие...", "Общие настройки программы",
     &TForm1::ASetPrefsExecute},
    {"AEditDic", "Настройки", "", "", "", "", &TForm1::AEditDicExecute},
    {"AHelp", "Помощь", "Вызов справки", "F1", "Вызов справки", "Руководство пользователя",
     &TForm1::AHelpExecute},
    {"AAbout", "Помощь", "О программе", "", "О программе", "Сведения о программе",
     &TForm1::AAboutExecute},
    {"ASelSpeak", "Речь", "Прочесть выделенное", "F8", "Прочесть выделенное",
     "Прочесть выделенный текст", &TForm1::ASelSpeakExecute},
    {"ACBSpeak", "Речь", "Прочесть буфер", "F9", "Прочесть буфер",
     "Прочесть текст из буфера обмена", &TForm1::ACBSpeakExecute},
    {"ADic", "Речь", "Словари", "F10", "Словари", "Показать/скрыть панель словарей",
     &TForm1::ADicExecute},
    {"AChangeText", "Настройки", "Показать измененный текст", "Ctrl+T", "Показать измененный текст",
     "Показать фрагмент измененного текста", &TForm1::AChangeTextExecute},
    {"ARulesToText", "Настройки", "Показать примененные правила", "Ctrl+J",
     "Показать примененные правила", "Правила, примененные к фрагменту текста",
     &TForm1::ARulesToTextExecute},
    {"ASeries", "Настройки", "Создать сериал", "", "Создать сериал",
     "Разбить текст на отдельные файлы", &TForm1::ASeriesExecute},
    {"AWrapText", "Формат", "Свертка", "Ctrl+W", "Свертка", "Чтобы строки умещались в окне",
     &TForm1::AWrapTextExecute},
    {"ASAPI", "Речь", "SAPI", "F12", "SAPI4 / SAPI5", "Переключение между SAPI4 и SAPI5",
     &TForm1::ASAPIExecute},
    {"ABatch", "Настройки", "Пакетная запись аудио...", "", "Пакетная запись аудио",
     " Записать разом несколько аудиофайлов", &TForm1::ABatchMP3Execute},
    {"ANames", "Настройки", "Имена и аббревиатуры", "", "Имена и аббревиатуры",
     "Имена и аббревиатуры в этом тексте", &TForm1::ANamesExecute},
    {"AChangeTextFull", "Настройки", "Измененный текст", "", "Измененный текст",
     "Полный текст со всеми словарными заменами", &TForm1::AChangeTextFullExecute},
    {"ARulesFull", "Настройки", "Словарные замены", "", "Словарные замены",
     "Все словарные замены в этом тексте", &TForm1::ARulesFullExecute},
    {"AFMinus", "Настройки", "Разность файлов...", "", "Разность файлов...",
     "Строки из 1-го  файл а, которых нет во 2-м", &TForm1::AFMinusExecute},
    {"AFMutual", "Настройки", "Пересечение файлов...", "", "Пересечение файлов...",
     "Строки, общие для 2-х файлов", &TForm1::AFMutualExecute},
    {"AFUnion", "Настройки", "Объединение файлов...", "", "Объединение файлов...",
     "Сумма ф-лов, строки-дубликаты удалены", &TForm1::AFUnionExecute},
    {"AHunt", "Настройки", "Найти по списку...", "", "Найти по списку...",
     "Все слова в тексте из заданного списка", &TForm1::AHuntExecute},
    {"AFreshEye", "Настройки", "Свежий взгляд", "", "Свежий взгляд",
     "Найти близко стоящие похожие слова", &TForm1::AFreshEyeExecute},
    {"ATxtProp", "Настройки", "Общая", "", "Общая", "Общие свойства текста",
     &TForm1::ATxtPropExecute},
    {"AOrfo", "Настройки", "Проверить выделенный текст", "F4", "Проверить выделенный текст",
     "Проверка орфографии в выделенном тексте", &TForm1::AOrfoExecute},
    {"AOrfoAdd", "Настройки", "Добавить выделенное в орфотаблицу", "Ctrl+F4",
     "Добавить выделенное в орфотаблицу", "Добавить слова выделенного текста в орфотаблицу",
     &TForm1::AOrfoAddExecute},
    {"AOrfoDel", "Настройки", "Удалить выделенное из орфотаблицы", "Ctrl+Shift+F4",
     "Удалить выделенное из орфотаблицы", "Удалить слова выделенного текста из орфотаблицы",
     &TForm1::AOrfoDelExecute},
    {"AZoom", "Настройки", "Экранная лупа", "Ctrl+F1", "Экранная лупа",
     "Окно с окрестностями курсора мыши", &TForm1::AZoomExecute},
    {"AZakAdd", "Закладки", "Вставить закладку", "Ctrl+F3", "Вставить закладку",
     "Вставить закладку в позиции курсора", &TForm1::AZakAddExecute},
    {"AZakGo", "Закладки", "Перейти по закладке", "Shift+F3", "Перейти по закладке",
     "Перейти по выбранной закладке", &TForm1::AZakGoExecute},
    {"AProfileSave", "Настройки", "Сохранить профиль...", "", "Сохранить профиль...",
     "Сохранить текущие настройки в файл", &TForm1::AProfileSaveExecute},
    {"AProfileLoad", "Настройки", "Загрузить профиль...", "", "Загрузить профиль...",
     "Загрузить настройки из файла", &TForm1::AProfileLoadExecute},
    {"AProfileDefault", "Настройки", "Стандартный профиль", "", "Стандартный профиль",
     "Восстановить настройки по умолчанию", &TForm1::AProfileDefaultExecute},
    {"AUpperCase", "Edit", "ВСЕ ЗАГЛАВНЫЕ", "Ctrl+Alt+U", "Все заглавные",
     "Изменить регистр букв на верхний", &TForm1::AUpperCaseExecute},
    {"ALowerCase", "Edit", "все прописные", "Ctrl+Alt+L", "Все прописные",
     "Изменить регистр букв на нижний", &TForm1::ALowerCaseExecute},
    {"ANumToPhrase", "Edit", "Число прописью", "Ctrl+Alt+P", "Число прописью",
     "Записать число прописью", &TForm1::ANumToPhraseExecute},
    {"APicLargeSmall", "Настройки", "Скрыть / Показать картинку", "Ctrl+K",
     "Скрыть / Показать картинку", "Скрыть или вновь показать загруженную картинку",
     &TForm1::APicLargeSmallExecute},
    {"AColumnText", "Edit", "Все слова, как есть", "", "Все слова текста расположить в столбик", "",
     &TForm1::AColumnTextExecute},
    {"AColumnText2", "Edit", "Без дубликатов, по алфавиту, в нижнем регистре", "",
     "Слова в столбик, без дубликатов, по алфавиту", "", &TForm1::AColumnText2Execute},
    {"AColumnText3", "Edit", "Без дубликатов, по алфавиту, с учетом регистра", "",
     "Слова в столбик, без дубликатов, по алфавиту, с учетом регистра", "",
     &TForm1::AColumnText3Execute},
    {"ATabToSpace", "Edit", "Табуляция -> 4 пробела", "", "Заменить знаки табуляции пробелами", "",
     &TForm1::ATabToSpaceExecute},
    {"ANbspToSpace", "Edit", "Пространство -> Пробел", "",
     "Заменить \"неразрывный пробел\" обычным", "", &TForm1::ANbspToSpaceExecute},
    {"AParagToLine", "Edit", "Удалить разрывы строк внутри абзацев", "",
     "Расположить каждый абзац - в 1 строку ", "", &TForm1::AParagToLineExecute},
    {"AQuotesSimple", "Edit", "Кавычки -> \"", "", "Все виды кавычек заменить на \"", "",
     &TForm1::AQuotesSimpleExecute},
    {"ATireToMinus", "Edit", "Тире -> - (минус)", "", "Все виды тире заменить на минус", "",
     &TForm1::ATireToMinusExecute},
    {"AMtSimple", "Edit", "Многоточие -> ... (3 точки)", "",
     "Символ \"многоточие\" заменить на 3 точки", "", &TForm1::AMtSimpleExecute},
    {"ABatchTxt", "Настройки", "Пакетный конвертер DOC / HTM / FB2  ->  TXT", "",
     "Преобразовать файлы в текстовые", "", &TForm1::ABatchTxtExecute},
    {"AMoveRight", "Edit", "Сдвиг текста вправо", "Ctrl+Alt+]", "Сдвиг вправо",
     "Сдвиг текста вправо на 1 позицию", &TForm1::AMoveRightExecute},
    {"AMoveLeft", "Edit", "Сдвиг текста влево", "Ctrl+Alt+[", "Сдвиг влево",
     "Сдвиг текста влево на 1 позицию", &TForm1::AMoveLeftExecute},
    {"ADeleSpaces", "Edit", "Удалить лишние пробелы между словами", "",
     "Смежные пробелы -> Один пробел", "", &TForm1::ADeleSpacesExecute},
    {"ADeleEmptyLines", "Edit", "Удалить лишние пустые строки", "",
     "Много пустых строк -> 2 пустые строки", "", &TForm1::ADeleEmptyLinesExecute},
    {"ASortText", "Edit", "Упорядочить строки по алфавиту", "",
     "Упорядочить строки текста по алфавиту", "", &TForm1::ASortTextExecute},
    {"EditUndo", "Edit", "Отменить", "Ctrl+Z", "Отменить", "Отменить последнее действие",
     &TForm1::EditUndoExecute},
    {"EditCut", "Edit", "Вырезать", "Ctrl+X", "Вырезать", "Вырезать выделенное в Clipboard",
     &TForm1::EditCutExecute},
    {"EditCopy", "Edit", "Копировать", "Ctrl+C", "Копировать", "Копировать выделенное в Clipboard",
     &TForm1::EditCopyExecute},
    {"EditPaste", "Edit", "Вставить", "Ctrl+V", "Вставить", "Вставить из Clipboard",
     &TForm1::EditPasteExecute},
    {"EditDelete", "Edit", "Очистить", "", "Очистить", "Очистить выделенное",
     &TForm1::EditDeleteExecute},
    {"EditSelectAll", "Edit", "Выделить все", "Ctrl+A", "Выделить все", "Выделить весь документ",
     &TForm1::EditSelectAllExecute},
};

using base::U;

// A toolbar image drawn from a symbol, for the buttons the style has no picture for. The
// disabled state gets its own grey drawing: the style's greying of a thin glyph leaves an
// empty box. "⧉" (copy) is drawn as two sheets, which every font can show.
QPixmap GlyphPixmap(const QString& glyph, const QColor& colour) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (glyph == QString::fromUtf8("⧉")) {
        painter.setPen(QPen(colour, 1.6));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(4.5, 3.5, 10, 12));
        painter.drawRect(QRectF(9.5, 8.5, 10, 12));
        return pixmap;
    }
    QFont font = painter.font();
    font.setPixelSize(glyph.size() > 1 ? 12 : 18);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
    return pixmap;
}

QIcon GlyphIcon(const QString& glyph, const QColor& colour) {
    QIcon icon(GlyphPixmap(glyph, colour));
    icon.addPixmap(GlyphPixmap(glyph, QColor(150, 150, 150)), QIcon::Disabled);
    return icon;
}

// Menu items and toolbar buttons are separate objects from their command (the other code
// enables and disables them by their own names); each stays disabled while its command is.
constexpr const char* kOwnEnabled = "vocalixOwnEnabled";

void SyncItem(QAction* item) {
    auto* command = qobject_cast<QAction*>(item->data().value<QObject*>());
    if (!command)
        return;
    item->setEnabled(item->property(kOwnEnabled).toBool() && command->isEnabled());
}

} // namespace

QAction* TForm1::Command(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

QAction* TForm1::Item(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name));
}

void TForm1::SetItemEnabled(const char* name, bool enabled) {
    QAction* item = Item(name);
    if (!item)
        return;
    if (item->property(kOwnEnabled).isValid()) {
        item->setProperty(kOwnEnabled, enabled);
        SyncItem(item);
    } else {
        item->setEnabled(enabled);
    }
}

void TForm1::SetItemVisible(const char* name, bool visible) {
    if (QAction* item = Item(name))
        item->setVisible(visible);
}

void TForm1::BuildCommands() {
    for (const CommandRow& row : kCommands) {
        auto* action = new QAction(U(row.caption), this);
        action->setObjectName(QString::fromLatin1(row.name));
        action->setProperty("category", U(row.category));
        if (*row.key)
            action->setShortcut(QKeySequence(QString::fromLatin1(row.key)));
        action->setToolTip(U(row.tip));
        action->setStatusTip(U(*row.status ? row.status : row.tip));
        const auto handler = row.handler;
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        // The shortcuts work wherever the focus is in the window (the action list).
        addAction(action);
    }
    Command("EditUndo")->setEnabled(false);
}

QAction* TForm1::AddItem(QMenu* menu, const char* itemName, const char* commandName) {
    QAction* command = Command(commandName);
    if (!itemName) {
        menu->addAction(command);
        return command;
    }
    // The item shows the command's shortcut; the command itself answers the key.
    auto* item = new QAction(menu);
    item->setObjectName(QString::fromLatin1(itemName));
    item->setData(QVariant::fromValue<QObject*>(command));
    item->setProperty(kOwnEnabled, true);
    const auto sync = [item, command] {
        const QString shortcut = command->shortcut().toString(QKeySequence::NativeText);
        item->setText(shortcut.isEmpty() ? command->text()
                                         : command->text() + QLatin1Char('\t') + shortcut);
        item->setToolTip(command->toolTip());
        item->setStatusTip(command->statusTip());
        if (!command->icon().isNull())
            item->setIcon(command->icon());
        SyncItem(item);
    };
    sync();
    connect(command, &QAction::changed, item, sync);
    connect(item, &QAction::triggered, command, &QAction::trigger);
    menu->addAction(item);
    return item;
}

void TForm1::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file = bar->addMenu(U("Файл"));
    file->setObjectName(QStringLiteral("NFile"));
    AddItem(file, "NFileCreate", "ACreate");
    AddItem(file, "NFileOpen", "AOpen");
    AddItem(file, nullptr, "ASave");
    AddItem(file, nullptr, "ASaveAs");
    NFileRecent = file->addMenu(U("Недавние"));
    NFileRecent->setObjectName(QStringLiteral("NFileRecentMenu"));
    NFileRecent->menuAction()->setObjectName(QStringLiteral("NFileRecent"));
    NFileRecent->menuAction()->setToolTip(U("Недавние"));
    NFileRecent->menuAction()->setStatusTip(U("Недавно открытые текстовые файлы"));
    file->addSeparator();
    AddItem(file, nullptr, "APrintNP");
    AddItem(file, nullptr, "AMSWord");
    file->addSeparator();
    AddItem(file, "NFileMP3", "AMP3");
    file->addSeparator();
    AddItem(file, nullptr, "AExit");

    QMenu* edit = bar->addMenu(U("Правка"));
    edit->setObjectName(QStringLiteral("NEdit"));
    AddItem(edit, nullptr, "EditUndo");
    edit->addSeparator();
    AddItem(edit, nullptr, "EditCut");
    AddItem(edit, nullptr, "EditCopy");
    AddItem(edit, nullptr, "EditPaste");
    AddItem(edit, nullptr, "EditDelete");
    QMenu* changeSel = edit->addMenu(U("Изменить выделенное"));
    changeSel->menuAction()->setObjectName(QStringLiteral("NEditChangeSel"));
    AddItem(changeSel, nullptr, "AUpperCase");
    AddItem(changeSel, nullptr, "ALowerCase");
    AddItem(changeSel, nullptr, "ANumToPhrase");
    edit->addSeparator();
    AddItem(edit, nullptr, "EditSelectAll");
    edit->addSeparator();
    AddItem(edit, "NEditFind", "AFind");
    AddItem(edit, nullptr, "AReplace");
    QMenu* chars = edit->addMenu(U("Заменить символы"));
    for (const char* name :
         {"ATabToSpace", "ANbspToSpace", "AQuotesSimple", "ATireToMinus", "AMtSimple",
          "ADeleBreaks", "AParagToLine", "ADeleSpaces", "ADeleEmptyLines"})
        AddItem(chars, nullptr, name);
    chars->addSeparator();
    AddItem(chars, nullptr, "AMoveLeft");
    AddItem(chars, nullptr, "AMoveRight");
    edit->addSeparator();
    QMenu* column = edit->addMenu(U("Текст в столбик"));
    AddItem(column, nullptr, "AColumnText");
    AddItem(column, nullptr, "AColumnText2");
    AddItem(column, nullptr, "AColumnText3");
    AddItem(edit, nullptr, "ASortText");

    QMenu* format = bar->addMenu(U("Формат"));
    format->setObjectName(QStringLiteral("NFormat"));
    AddItem(format, nullptr, "AFont");
    AddItem(format, nullptr, "ABackGround");
    format->addSeparator();
    AddItem(format, "NFormatWrap", "AWrapText")->setCheckable(true);
    format->addSeparator();
    AddItem(format, "NFormatParag", "AParag");

    QMenu* speech = bar->addMenu(U("Речь"));
    speech->setObjectName(QStringLiteral("NSpeak"));
    AddItem(speech, "NSpeakSpeak", "ASpeak");
    AddItem(speech, "NSpeakPause", "APause");
    AddItem(speech, "NSpeakStop", "AStop");
    speech->addSeparator();
    AddItem(speech, "NSpeakSpeakSel", "ASelSpeak");
    AddItem(speech, "NSpeakSpeakCB", "ACBSpeak");
    speech->addSeparator();
    AddItem(speech, "NSpeakDic", "ADic");
    speech->addSeparator();
    AddItem(speech, nullptr, "ASAPI");

    QMenu* prefs = bar->addMenu(U("Сервис"));
    prefs->setObjectName(QStringLiteral("NPrefs"));
    AddItem(prefs, nullptr, "ASetPrefs");
    prefs->addSeparator();
    AddItem(prefs, "NPrefsChangeText", "AChangeText");
    AddItem(prefs, "NPrefsRulesToText", "ARulesToText");
    prefs->addSeparator();
    AddItem(prefs, "NPrefsSeries", "ASeries");
    AddItem(prefs, nullptr, "ABatch");
    AddItem(prefs, nullptr, "ABatchTxt");
    prefs->addSeparator();
    QMenu* orfo = prefs->addMenu(U("Орфография"));
    orfo->menuAction()->setObjectName(QStringLiteral("NPrefsOrfo"));
    AddItem(orfo, nullptr, "AOrfo");
    AddItem(orfo, nullptr, "AOrfoAdd");
    AddItem(orfo, nullptr, "AOrfoDel");
    QMenu* stat = prefs->addMenu(U("Статистика"));
    stat->menuAction()->setToolTip(U("Статистика"));
    stat->menuAction()->setStatusTip(U("Статистический анализ текста"));
    AddItem(stat, nullptr, "ATxtProp");
    AddItem(stat, "NPrefsStat1", "AChangeTextFull");
    AddItem(stat, "NPrefsStat2", "ARulesFull");
    AddItem(stat, nullptr, "ANames");
    QMenu* compare = stat->addMenu(U("Сравнение файлов"));
    compare->menuAction()->setToolTip(U("Сравнение файлов"));
    compare->menuAction()->setStatusTip(U("Операции сравнения 2-х файлов"));
    AddItem(compare, nullptr, "AFMinus");
    AddItem(compare, nullptr, "AFMutual");
    AddItem(compare, nullptr, "AFUnion");
    AddItem(stat, nullptr, "AHunt");
    AddItem(stat, nullptr, "AFreshEye");
    QMenu* profiles = prefs->addMenu(U("Профили"));
    AddItem(profiles, nullptr, "AProfileSave");
    AddItem(profiles, nullptr, "AProfileLoad");
    AddItem(profiles, nullptr, "AProfileDefault");
    prefs->addSeparator();
    AddItem(prefs, nullptr, "APicLargeSmall");
    AddItem(prefs, nullptr, "AZoom");

    QMenu* zak = bar->addMenu(U("Закладки"));
    zak->setObjectName(QStringLiteral("NZaklad"));
    AddItem(zak, nullptr, "AZakAdd");
    AddItem(zak, "NZakladGo", "AZakGo");

    QMenu* help = bar->addMenu(U("Помощь"));
    help->setObjectName(QStringLiteral("NHelp"));
    AddItem(help, nullptr, "AHelp");
    AddItem(help, nullptr, "AAbout");
    InstallMenuKeys(bar);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    AddItem(PopupMenu1, "NPopOrfo", "AOrfo");
    AddItem(PopupMenu1, "NPopOrfoAdd", "AOrfoAdd");
    PopupMenu1->addSeparator();
    AddItem(PopupMenu1, nullptr, "EditCut");
    AddItem(PopupMenu1, nullptr, "EditCopy");
    AddItem(PopupMenu1, nullptr, "EditPaste");
    QMenu* popChange = PopupMenu1->addMenu(U("Изменить выделенное"));
    popChange->menuAction()->setObjectName(QStringLiteral("NPopChangeSel"));
    AddItem(popChange, nullptr, "AUpperCase");
    AddItem(popChange, nullptr, "ALowerCase");
    AddItem(popChange, nullptr, "ANumToPhrase");
    PopupMenu1->addSeparator();
    AddItem(PopupMenu1, nullptr, "AFind");
    AddItem(PopupMenu1, nullptr, "AReplace");
    PopupMenu1->addSeparator();
    AddItem(PopupMenu1, "NPopChangeText", "AChangeText");
    AddItem(PopupMenu1, "NPopRulesToText", "ARulesToText");
    PopupMenu1->addSeparator();
    AddItem(PopupMenu1, "NPopSpeakSel", "ASelSpeak");
    AddItem(PopupMenu1, nullptr, "ACBSpeak");
    PopupMenu1->addSeparator();
    AddItem(PopupMenu1, nullptr, "AZakAdd");
    AddItem(PopupMenu1, nullptr, "AZakGo");
}

void TForm1::BuildToolBars() {
    ToolBar1 = addToolBar(U("Команды"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    QMenu holder; // AddItem wants a menu; the buttons are re-parented to the toolbar
    struct Button {
        const char* name;
        const char* command;
        QStyle::StandardPixmap icon;
        const char* text;
        bool separatorAfter;
    };
    const Button buttons[] = {
        {"TBCreate", "ACreate", QStyle::SP_FileIcon, nullptr, false},
        {"TBOpen", "AOpen", QStyle::SP_DialogOpenButton, nullptr, false},
        {"TBSave", "ASave", QStyle::SP_DialogSaveButton, nullptr, true},
        {"TBMP3", "AMP3", QStyle::SP_DriveCDIcon, nullptr, true},
        {"TBSpeak", "ASpeak", QStyle::SP_MediaPlay, nullptr, false},
        {"TBPause", "APause", QStyle::SP_MediaPause, nullptr, false},
        {"TBStop", "AStop", QStyle::SP_MediaStop, nullptr, false},
        {"TBDic", "ADic", QStyle::SP_FileDialogDetailedView, nullptr, true},
        {"TBUnDo", "EditUndo", QStyle::SP_ArrowBack, nullptr, false},
        {"TBCut", "EditCut", QStyle::SP_CustomBase, "✂", false},
        {"TBCopy", "EditCopy", QStyle::SP_CustomBase, "⧉", false},
        {"TBPaste", "EditPaste", QStyle::SP_CustomBase, "⎀", false},
        {"TBDelete", "EditDelete", QStyle::SP_DialogDiscardButton, nullptr, false},
        {"tbSeleAll", "EditSelectAll", QStyle::SP_CustomBase, "▣", false},
        {"TBFind", "AFind", QStyle::SP_FileDialogContentsView, nullptr, false},
        {"TBRepl", "AReplace", QStyle::SP_BrowserReload, nullptr, false},
        {"TBFormat", "AParag", QStyle::SP_FileDialogListView, nullptr, false},
        {"TBFont", "AFont", QStyle::SP_CustomBase, "Aa", false},
        {"TBHelp", "AHelp", QStyle::SP_DialogHelpButton, nullptr, true},
        {"TBSAPI", "ASAPI", QStyle::SP_ComputerIcon, nullptr, false},
    };
    for (const Button& b : buttons) {
        QAction* item = AddItem(&holder, b.name, b.command);
        item->setParent(ToolBar1);
        // Toolbar buttons show the caption without the shortcut.
        item->setText(Command(b.command)->text());
        connect(Command(b.command), &QAction::changed, item,
                [item, command = Command(b.command)] { item->setText(command->text()); });
        item->setIcon(b.icon != QStyle::SP_CustomBase ? style()->standardIcon(b.icon)
                                                      : GlyphIcon(U(b.text), QColor(40, 60, 120)));
        ToolBar1->addAction(item);
        if (auto* button = qobject_cast<QToolButton*>(ToolBar1->widgetForAction(item)))
            button->setObjectName(QString::fromLatin1(b.name) + QStringLiteral("Button"));
        if (b.separatorAfter)
            ToolBar1->addSeparator();
    }

    addToolBarBreak();
    ToolBar2 = addToolBar(U("Речь"));
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setMovable(false);
    ComboBox1 = new QComboBox(ToolBar2);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setFixedWidth(338);
    ComboBox1->setToolTip(U("Список дикторов"));
    ComboBox1->setStatusTip(U("Список голосовых движков (дикторов)"));
    ToolBar2->addWidget(ComboBox1);
    cbX = new QComboBox(ToolBar2);
    cbX->setObjectName(QStringLiteral("cbX"));
    cbX->setFixedWidth(70);
    cbX->setToolTip(U("Скорость записи аудио"));
    cbX->setStatusTip(U("Скорость вывода в аудиофайл"));
    ToolBar2->addWidget(cbX);
    Label1 = new QLabel(U("   Скорость  "), ToolBar2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setStatusTip(U("Скорость чтения"));
    ToolBar2->addWidget(Label1);
    Edit1 = new QLineEdit(QStringLiteral("0"), ToolBar2);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFixedWidth(50);
    Edit1->setToolTip(U("Скорость чтения"));
    Edit1->setStatusTip(U("Скорость чтения вслух"));
    ToolBar2->addWidget(Edit1);
    trSpeed = new QSpinBox(ToolBar2);
    trSpeed->setObjectName(QStringLiteral("trSpeed"));
    trSpeed->setFixedWidth(18);
    trSpeed->setRange(-10, 10);
    trSpeed->setAccessibleName(U("Изменить скорость чтения"));
    ToolBar2->addWidget(trSpeed);
    Label2 = new QLabel(U("   Тембр  "), ToolBar2);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setStatusTip(U("Высота голоса"));
    ToolBar2->addWidget(Label2);
    Edit2 = new QLineEdit(QStringLiteral("0"), ToolBar2);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setFixedWidth(50);
    Edit2->setToolTip(U("Тембр голоса"));
    Edit2->setStatusTip(U("Тембр (высота) голоса"));
    ToolBar2->addWidget(Edit2);
    trPitch = new QSpinBox(ToolBar2);
    trPitch->setObjectName(QStringLiteral("trPitch"));
    trPitch->setFixedWidth(18);
    trPitch->setAccessibleName(U("Изменить тембр голоса"));
    ToolBar2->addWidget(trPitch);
    lbSAPI = new QLabel(QStringLiteral("    SAPI4"), ToolBar2);
    lbSAPI->setObjectName(QStringLiteral("lbSAPI"));
    ToolBar2->addWidget(lbSAPI);
    // At the window's smallest width the voice list narrows rather than push controls off.
    FitWidgetToToolBar(ToolBar2, ComboBox1, 338, 150);
}

} // namespace vocalix::shell
