#include "shell/TPrefsBox.h"

#include "base/Cp1251.h"
#include "base/IniFile.h"
#include "base/QtText.h"
#include "base/Settings.h"
#include "shell/PrefsLogic.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vocalix::shell {
namespace {

using base::U;

QLabel* Label(const char* utf8, QWidget* parent, const char* name = nullptr) {
    auto* l = new QLabel(U(utf8), parent);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    if (name)
        l->setObjectName(name);
    return l;
}

QCheckBox* Check(const char* name, const char* caption, QWidget* parent) {
    auto* c = new QCheckBox(U(caption), parent);
    c->setObjectName(name);
    return c;
}

QComboBox* List(const char* name, const std::vector<std::string>& items, QWidget* parent) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    for (const auto& item : items)
        c->addItem(base::ToQString(item));
    return c;
}

// A tab holding one group box, as most tabs do; returns the group's layout.
QVBoxLayout* GroupTab(QTabWidget* tabs, const char* tab, const char* group) {
    auto* page = new QWidget(tabs);
    auto* outer = new QVBoxLayout(page);
    auto* box = new QGroupBox(U(group), page);
    outer->addWidget(box);
    auto* inner = new QVBoxLayout(box);
    tabs->addTab(page, U(tab));
    return inner;
}

QVBoxLayout* PlainTab(QTabWidget* tabs, const char* tab) {
    auto* page = new QWidget(tabs);
    auto* layout = new QVBoxLayout(page);
    tabs->addTab(page, U(tab));
    return layout;
}

// A number field with its caption on one row.
void AddRow(QVBoxLayout* layout, QLabel* label, QLineEdit* field, QWidget* extra = nullptr) {
    auto* row = new QHBoxLayout;
    row->addWidget(label, 1);
    row->addWidget(field);
    if (extra)
        row->addWidget(extra);
    layout->addLayout(row);
}

int IndexOr(int index, int count, int fallback) {
    return index >= 0 && index < count ? index : fallback;
}

} // namespace

TPrefsBox::TPrefsBox(const std::filesystem::path& programDir, QWidget* parent)
    : QDialog(parent), m_programDir(programDir) {
    setObjectName("TPrefsBox");
    setWindowTitle(U("Общие настройки"));
    auto* top = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setUsesScrollButtons(false); // tabs wrap onto rows rather than scroll
    top->addWidget(PageControl1);

    const base::Options defaults;

    // Аудио
    {
        QVBoxLayout* g = GroupTab(PageControl1, "Аудио", "Настройка аудио-конвертера");
        QWidget* w = g->parentWidget();
        cbConverter = List("cbConverter", ConverterNames(), w);
        cbConverter->setToolTip(U("Выбор метода сжатия WAV-файлов"));
        cbBitRate = List("cbBitRate", BitRateNames(), w);
        cbBitRate->setToolTip(
            U("Кбит/сек. Чем меньше, тем меньше размер файла и ниже качество звучания"));
        lbBitRate = Label("Битрейд", w, "lbBitRate");
        cbQuality = List("cbQuality", QualityNames(), w);
        cbQuality->setToolTip(
            U("А это - компромисс между качеством звучания и скоростью кодирования"));
        lbQuality = Label("Качество", w, "lbQuality");
        eAllParam = new QLineEdit(w);
        eAllParam->setObjectName("eAllParam");
        eAllParam->setToolTip(U("Более сложный набор параметров можно ввести вручную"));
        lbAllParam = Label("Параметры в целом", w, "lbAllParam");
        auto* row = new QHBoxLayout;
        row->addWidget(cbConverter);
        row->addWidget(lbBitRate);
        row->addWidget(cbBitRate);
        row->addWidget(lbQuality);
        row->addWidget(cbQuality);
        g->addLayout(row);
        g->addWidget(lbAllParam);
        g->addWidget(eAllParam);
        chkbConvMinimize =
            Check("chkbConvMinimize", "Запускать аудио-конвертер свернутым в значок", w);
        chkbAudioFromTop = Check("chkbAudioFromTop",
                                 "Записывать аудио с начала текста, а не от позиции курсора", w);
        g->addWidget(chkbConvMinimize);
        g->addWidget(chkbAudioFromTop);
        g->addStretch();
    }
    // Литературный текст
    {
        QVBoxLayout* g =
            GroupTab(PageControl1, "Литературный текст", "Приведение текста к читабельному виду");
        QWidget* w = g->parentWidget();
        eAbzac = NumberField("eAbzac");
        eAbzac->setToolTip(U("Отступ красной строки"));
        eMaxLen = NumberField("eMaxLen");
        eMaxLen->setToolTip(U("0 - отсутствие ограничений"));
        eHugeLen = NumberField("eHugeLen");
        eHugeLen->setToolTip(U("Удобно при форматировании очень широких текстов"));
        AddRow(g, Label("Абзацный отступ", w), eAbzac);
        AddRow(g, Label("Максимальная длина строки", w), eMaxLen);
        AddRow(g, Label("Сворачивать в абзац строку, в которой символов больше чем", w), eHugeLen);
        chkbRJust =
            Check("chkbRJust", "Вставлять пробелы для выравнивания строк по правому краю", w);
        g->addWidget(chkbRJust);
        g->addStretch();
    }
    // Сериалы
    {
        QVBoxLayout* g =
            GroupTab(PageControl1, "Сериалы", "Разбить большой текстовый файл на серию маленьких");
        QWidget* w = g->parentWidget();
        eNB = NumberField("eNB");
        eNB->setToolTip(U("Не менее 500 или 0 - отсутствие ограничений"));
        lbTime = Label("", w, "lbTime");
        lbTime->setWordWrap(false);
        AddRow(g, Label("Делить файл на части с количеством знаков  не более", w), eNB, lbTime);
        chkbChap =
            Check("chkbChap", "Делить по заголовкам  глав или  знаку \"!\" в начале строки", w);
        chkbChap->setToolTip(U("Распознаются \"Глава N\", \"ГЛАВА N\", \"N. НАЗВАНИЕ\" , где N - "
                               "цифры. Иначе: вставить  символ \"!\" в начале строки"));
        chkbHeader = Check("chkbHeader", "Добавлять в начале название файла  и номер части", w);
        chkbAudioSplit =
            Check("chkbAudioSplit",
                  "Записывать  аудио частями, как сериал (с указанными выше настройками)", w);
        g->addWidget(chkbChap);
        g->addWidget(chkbHeader);
        g->addWidget(chkbAudioSplit);
        g->addStretch();
    }
    // Свежий взгляд
    {
        QVBoxLayout* g = GroupTab(PageControl1, "Свежий взгляд", "Поиск повторов и созвучий");
        QWidget* w = g->parentWidget();
        eFE1 = NumberField("eFE1");
        eFE1->setToolTip(U("На сколько слов вперед делать проверку"));
        eFE2 = NumberField("eFE2");
        eFE2->setToolTip(U("От 1 до 100 (чем выше, тем строже сравнение)"));
        AddRow(g, Label("Глубина контекста", w), eFE1);
        AddRow(g, Label("Уровень сходства  не менее", w), eFE2);
        g->addStretch();
    }
    // Набор
    {
        QVBoxLayout* g = GroupTab(PageControl1, "Набор", "Набор текста");
        QWidget* w = g->parentWidget();
        const QString typographic =
            U("Т.е. на символы, с кодами соответственно: 150 - тире, 171 и 187 - книжные "
              "кавычки, 133 - многоточие ");
        AutoCap = Check("AutoCap", "Подставлять заглавную букву в начале предложения", w);
        AutoRepl =
            Check("AutoRepl",
                  "Заменять символы: минус,  кавычки, 3 точки подряд на их \"книжные\" аналоги", w);
        AutoRepl->setToolTip(typographic);
        AutoParag =
            Check("AutoParag", "Вставлять абзацный отступ при нажатии <Enter> и <пробел>", w);
        AutoParag->setToolTip(typographic);
        AutoAloud = Check("AutoAloud", "Читать набираемый текст", w);
        AutoAloudP = new QRadioButton(U("предложениями"), w);
        AutoAloudP->setObjectName("AutoAloudP");
        AutoAloudA = new QRadioButton(U("абзацами"), w);
        AutoAloudA->setObjectName("AutoAloudA");
        eRepeat = NumberField("eRepeat");
        lbRepeat = Label("раз(а)", w, "lbRepeat");
        lbRepeat->setWordWrap(false);
        g->addWidget(AutoCap);
        g->addWidget(AutoRepl);
        g->addWidget(AutoParag);
        auto* row = new QHBoxLayout;
        row->addWidget(AutoAloud);
        row->addWidget(AutoAloudP);
        row->addWidget(AutoAloudA);
        row->addWidget(eRepeat);
        row->addWidget(lbRepeat);
        row->addStretch();
        g->addLayout(row);
        g->addStretch();
    }
    // Чтение
    {
        QVBoxLayout* g = GroupTab(PageControl1, "Чтение", "Параметры чтения");
        QWidget* w = g->parentWidget();
        eNF = NumberField("eNF");
        eNF->setToolTip(U("0 - отсутствие ограничений"));
        AddRow(g, Label("Читать текст последовательными блоками с количеством символов", w), eNF);
        chkbStyle = Check("chkbStyle", "Игнорировать в словаре правила \"стильной речи\"", w);
        chkbTags = Check("chkbTags", "Игнорировать управляющие теги SAP5 при чтении текста", w);
        g->addWidget(chkbStyle);
        g->addWidget(chkbTags);
        g->addStretch();
    }
    // Картинки
    {
        QVBoxLayout* g = PlainTab(PageControl1, "Картинки");
        QWidget* w = g->parentWidget();
        chkbPicImport = Check("chkbPicImport",
                              "Показывать картинки из документов MS Word; Fiction Book; "
                              "Web-страниц ",
                              w);
        ePicMargin = NumberField("ePicMargin");
        ePicMargin->setToolTip(
            U("Слишком малые или большие значения автоматически скорректируются"));
        g->addWidget(chkbPicImport);
        AddRow(g, Label("Отступ графической области от левого края текстового окна", w),
               ePicMargin);
        g->addStretch();
    }
    // Прочее
    {
        QVBoxLayout* g = PlainTab(PageControl1, "Прочее");
        QWidget* w = g->parentWidget();
        chkbPrev = Check("chkbPrev", "Не открывать предыдущий файл при запуске программы", w);
        chkbCursor = Check("chkbCursor", "Нестандартный курсор мыши в окне редактирования", w);
        cbGKey = List("cbGKey", HotKeyNames(), w);
        cbGKey2 = List("cbGKey2", HotKeyNames(), w);
        // The hot-key lists keep their own hint and leave the encoder parameters alone.
        cbGKey->setToolTip(U("Действует и тогда, когда окно программы неактивно"));
        cbGKey2->setToolTip(cbGKey->toolTip());
        g->addWidget(chkbPrev);
        g->addWidget(chkbCursor);
        auto* row = new QHBoxLayout;
        row->addWidget(Label("Глобальная клавиша \"Пауза / Продолжить чтение\"", w), 1);
        row->addWidget(cbGKey);
        g->addLayout(row);
        auto* row2 = new QHBoxLayout;
        row2->addWidget(Label("Глобальная клавиша \"Стоп / Читать вслух\"", w), 1);
        row2->addWidget(cbGKey2);
        g->addLayout(row2);
        g->addStretch();
    }
    // Дополнительно
    {
        QVBoxLayout* g = PlainTab(PageControl1, "Дополнительно");
        QWidget* w = g->parentWidget();
        chkbSubtitles = Check("chkbSubtitles",
                              "Субтитры к аудиозаписи (файлы .srt и .lrc рядом с аудиофайлом)", w);
        chkbSubtitles->setToolTip(
            U("Время каждой фразы берётся из синтезатора речи в момент записи"));
        g->addWidget(chkbSubtitles);
        eWorkers = NumberField("eWorkers");
        eWorkers->setToolTip(U("0 - по числу ядер процессора; 1 - запись одним процессом"));
        AddRow(g, Label("Процессов для записи аудиофайла", w), eWorkers);
        g->addStretch();
    }

    auto* buttons = new QHBoxLayout;
    btOK = new QPushButton(U("OK"), this);
    btOK->setObjectName("btOK");
    btOK->setDefault(true);
    btESC = new QPushButton(U("Отменить"), this);
    btESC->setObjectName("btESC");
    buttons->addStretch();
    buttons->addWidget(btOK);
    buttons->addWidget(btESC);
    top->addLayout(buttons);

    for (QComboBox* c : {cbConverter, cbBitRate, cbQuality})
        connect(c, &QComboBox::activated, this, &TPrefsBox::CBChange);
    connect(AutoAloud, &QCheckBox::toggled, this, &TPrefsBox::AAChange);
    connect(eNB, &QLineEdit::textChanged, this, &TPrefsBox::ENBChange);
    connect(btOK, &QPushButton::clicked, this, &TPrefsBox::OKButtonClick);
    connect(btESC, &QPushButton::clicked, this, &TPrefsBox::ESCButtonClick);

    Fill(defaults);
    const QSize hint = sizeHint();
    setFixedSize(std::max(470, hint.width()), std::max(284, hint.height()));
}

QLineEdit* TPrefsBox::NumberField(const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    e->setMaximumWidth(70);
    // Pasted text obeys the same rule as typed text.
    e->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), e));
    e->installEventFilter(this);
    return e;
}

bool TPrefsBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched)) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (key->key() == Qt::Key_Backspace)
            return false;
        // Keys that type nothing (arrows, Delete, Tab, Enter) keep their usual work.
        if (text.isEmpty() || !text.at(0).isPrint())
            return false;
        const std::string typed = base::FromQString(text);
        for (char c : typed)
            if (!IsNumberFieldChar(c))
                return true; // discarded
        return false;
    }
    return QDialog::eventFilter(watched, event);
}

void TPrefsBox::FormCreate(int converterNumber) {
    // Only the WAV choice has texts of its own at creation; the encoders' texts ("Битрейд!")
    // appear with the first change of a list.
    ShowConverterControls(converterNumber, converterNumber == 0);
    AAChange();
}

void TPrefsBox::ShowConverterControls(int converter, bool setTexts) {
    if (setTexts && converter == 0) {
        lbBitRate->setText(U("Сжатие аудиофайла не производится!"));
        lbAllParam->setText(
            U("НАИВЫСШЕЕ КАЧЕСТВО ЗВУЧАНИЯ. РАЗМЕРЫ АУДИОФАЙЛА БУДУТ ОЧЕНЬ ВЕЛИКИ"));
    } else if (setTexts) {
        lbBitRate->setText(U("Битрейд!"));
        lbAllParam->setText(U("Параметры в целом"));
    }
    cbBitRate->setVisible(converter != 0);
    cbQuality->setVisible(converter == 1);
    lbQuality->setVisible(converter == 1);
    eAllParam->setVisible(converter != 0);
}

void TPrefsBox::CBChange() {
    const int converter = cbConverter->currentIndex();
    ShowConverterControls(converter, true);
    const auto params = ComposeEncoderParams(converter, base::FromQString(cbBitRate->currentText()),
                                             cbQuality->currentIndex());
    if (params)
        eAllParam->setText(base::ToQString(*params));
}

void TPrefsBox::AAChange() {
    const bool on = AutoAloud->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{AutoAloudP, AutoAloudA, lbRepeat, eRepeat})
        w->setEnabled(on);
}

void TPrefsBox::ENBChange() {
    lbTime->setText(base::ToQString(ListeningTimeText(base::FromQString(eNB->text()))));
}

void TPrefsBox::Fill(const base::Options& o) {
    const base::Options defaults;
    cbConverter->setCurrentIndex(IndexOr(o.ACNumber, cbConverter->count(), defaults.ACNumber));
    cbBitRate->setCurrentIndex(IndexOr(o.BRNumber, cbBitRate->count(), defaults.BRNumber));
    cbQuality->setCurrentIndex(IndexOr(o.QNumber, cbQuality->count(), defaults.QNumber));
    // The stored parameters may be hand-made: showing them must not recompose them.
    ShowConverterControls(cbConverter->currentIndex(), false);
    eAllParam->setText(base::ToQString(o.AllParam));
    chkbConvMinimize->setChecked(o.ConverterMinimize);
    chkbAudioFromTop->setChecked(o.AudioFromTop);
    eAbzac->setText(QString::number(o.Parag));
    eMaxLen->setText(QString::number(o.MaxLen));
    eHugeLen->setText(QString::number(o.MaxHugeLen));
    chkbRJust->setChecked(o.RightJustify);
    eNB->setText(QString::number(o.BytesInBlock));
    chkbChap->setChecked(o.ChapHeadSencitive);
    chkbHeader->setChecked(o.Header);
    chkbAudioSplit->setChecked(o.AudioSplit);
    eFE1->setText(QString::number(o.Deep));
    eFE2->setText(QString::number(o.Similarity));
    AutoCap->setChecked(o.AutoCap);
    AutoRepl->setChecked(o.AutoRepl);
    AutoParag->setChecked(o.AutoParag);
    AutoAloud->setChecked(o.AutoAloud);
    // Both radio buttons may be off in a hand-edited file; show that as it is.
    AutoAloudP->setAutoExclusive(false);
    AutoAloudA->setAutoExclusive(false);
    AutoAloudP->setChecked(o.AutoAloudP);
    AutoAloudA->setChecked(o.AutoAloudA);
    AutoAloudP->setAutoExclusive(true);
    AutoAloudA->setAutoExclusive(true);
    eRepeat->setText(QString::number(o.AutoRepeat));
    eNF->setText(QString::number(o.BytesInFrag));
    chkbStyle->setChecked(o.IgnoreRules);
    chkbTags->setChecked(!o.IsXML);
    chkbPicImport->setChecked(o.PicImport);
    chkbSubtitles->setChecked(o.Subtitles);
    eWorkers->setText(QString::number(o.Workers));
    ePicMargin->setText(QString::number(o.PicMargin));
    chkbPrev->setChecked(o.IgnorePrev);
    chkbCursor->setChecked(o.HandPointCursor);
    cbGKey->setCurrentIndex(HotKeyNameIndex(o.GKName));
    cbGKey2->setCurrentIndex(HotKeyNameIndex(o.GKName2));
    AAChange();
    ENBChange();
}

std::string TPrefsBox::HotKeyName() const {
    return HotKeyNames()[static_cast<size_t>(std::max(0, cbGKey->currentIndex()))];
}

std::string TPrefsBox::HotKeyName2() const {
    return HotKeyNames()[static_cast<size_t>(std::max(0, cbGKey2->currentIndex()))];
}

void TPrefsBox::OKButtonClick() {
    using base::FromQString;
    base::IniFile ini;
    const auto file = base::SettingsPath(m_programDir);
    ini.Load(file);
    using O = base::Options;
    const auto text = [](const QLineEdit* field) { return FromQString(field->text()); };
    base::WriteOption(ini, &O::ACNumber, cbConverter->currentIndex());
    base::WriteOption(ini, &O::BRNumber, cbBitRate->currentIndex());
    base::WriteOption(ini, &O::QNumber, cbQuality->currentIndex());
    base::WriteOptionText(ini, &O::AllParam, text(eAllParam));
    base::WriteOption(ini, &O::ConverterMinimize, chkbConvMinimize->isChecked());
    base::WriteOption(ini, &O::AudioFromTop, chkbAudioFromTop->isChecked());
    base::WriteOptionText(ini, &O::Parag, text(eAbzac));
    base::WriteOptionText(ini, &O::MaxLen, text(eMaxLen));
    base::WriteOptionText(ini, &O::MaxHugeLen, text(eHugeLen));
    base::WriteOption(ini, &O::RightJustify, chkbRJust->isChecked());
    base::WriteOptionText(ini, &O::BytesInBlock, text(eNB));
    base::WriteOption(ini, &O::ChapHeadSencitive, chkbChap->isChecked());
    base::WriteOption(ini, &O::AudioSplit, chkbAudioSplit->isChecked());
    base::WriteOption(ini, &O::Header, chkbHeader->isChecked());
    base::WriteOptionText(ini, &O::Deep, text(eFE1));
    base::WriteOptionText(ini, &O::Similarity, text(eFE2));
    base::WriteOptionText(ini, &O::BytesInFrag, text(eNF));
    base::WriteOption(ini, &O::IgnoreRules, chkbStyle->isChecked());
    base::WriteOption(ini, &O::IgnorePrev, chkbPrev->isChecked());
    base::WriteOption(ini, &O::IsXML, !chkbTags->isChecked());
    base::WriteOption(ini, &O::HandPointCursor, chkbCursor->isChecked());
    base::WriteOptionText(ini, &O::GKName, HotKeyName());
    base::WriteOptionText(ini, &O::GKName2, HotKeyName2());
    base::WriteOption(ini, &O::AutoCap, AutoCap->isChecked());
    base::WriteOption(ini, &O::AutoRepl, AutoRepl->isChecked());
    base::WriteOption(ini, &O::AutoParag, AutoParag->isChecked());
    base::WriteOption(ini, &O::AutoAloud, AutoAloud->isChecked());
    base::WriteOption(ini, &O::AutoAloudP, AutoAloudP->isChecked());
    base::WriteOption(ini, &O::AutoAloudA, AutoAloudA->isChecked());
    base::WriteOptionText(ini, &O::AutoRepeat, text(eRepeat));
    base::WriteOptionText(ini, &O::PicMargin, text(ePicMargin));
    base::WriteOption(ini, &O::PicImport, chkbPicImport->isChecked());
    base::WriteOption(ini, &O::Subtitles, chkbSubtitles->isChecked());
    base::WriteOptionText(ini, &O::Workers, text(eWorkers));
    std::string error;
    if (!ini.Save(file, &error)) {
        m_lastError = base::Cp("Не удалось записать файл настроек ") +
                      base::Utf8ToCp1251(file.string() + ": " + error);
        if (ShowError)
            ShowError(m_lastError);
        return;
    }
    m_lastError.clear();
    accept();
}

void TPrefsBox::ESCButtonClick() {
    reject();
}

} // namespace vocalix::shell
