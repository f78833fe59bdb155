#pragma once

#include "base/Options.h"

#include <QDialog>
#include <filesystem>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace vocalix::shell {

// The preferences dialog "Общие настройки": eight tabs over the option keys of "$.ini". It is
// filled from the option variables and, on OK, writes its keys straight into the settings
// file; the main window then re-reads the file.
class TPrefsBox : public QDialog {
    Q_OBJECT
public:
    TPrefsBox(const std::filesystem::path& programDir, QWidget* parent = nullptr);

    // Once, when the dialog is created: shows the converter's controls for the converter
    // number of the main window.
    void FormCreate(int converterNumber);

    // Shows the option variables (already corrected for the dialog).
    void Fill(const base::Options& options);

    // Handlers.
    void CBChange();
    void AAChange();
    void ENBChange();
    void OKButtonClick();
    void ESCButtonClick();

    // Empty after a successful OK; otherwise why the settings file could not be written
    // (Russian, Windows-1251). The dialog then stays open.
    const std::string& LastError() const { return m_lastError; }
    // Shows such a failure to the user (the main window routes it through its Prompter).
    std::function<void(const std::string&)> ShowError;

    // The hot-key names chosen (Windows-1251).
    std::string HotKeyName() const;
    std::string HotKeyName2() const;

    QTabWidget* PageControl1 = nullptr;
    QComboBox* cbConverter = nullptr;
    QComboBox* cbBitRate = nullptr;
    QLabel* lbBitRate = nullptr;
    QComboBox* cbQuality = nullptr;
    QLabel* lbQuality = nullptr;
    QLineEdit* eAllParam = nullptr;
    QLabel* lbAllParam = nullptr;
    QCheckBox* chkbConvMinimize = nullptr;
    QCheckBox* chkbAudioFromTop = nullptr;
    QLineEdit* eAbzac = nullptr;
    QLineEdit* eMaxLen = nullptr;
    QLineEdit* eHugeLen = nullptr;
    QCheckBox* chkbRJust = nullptr;
    QLineEdit* eNB = nullptr;
    QLabel* lbTime = nullptr;
    QCheckBox* chkbChap = nullptr;
    QCheckBox* chkbHeader = nullptr;
    QCheckBox* chkbAudioSplit = nullptr;
    QLineEdit* eFE1 = nullptr;
    QLineEdit* eFE2 = nullptr;
    QCheckBox* AutoCap = nullptr;
    QCheckBox* AutoRepl = nullptr;
    QCheckBox* AutoParag = nullptr;
    QCheckBox* AutoAloud = nullptr;
    QRadioButton* AutoAloudP = nullptr;
    QRadioButton* AutoAloudA = nullptr;
    QLineEdit* eRepeat = nullptr;
    QLabel* lbRepeat = nullptr;
    QLineEdit* eNF = nullptr;
    QCheckBox* chkbStyle = nullptr;
    QCheckBox* chkbTags = nullptr;
    QCheckBox* chkbPicImport = nullptr;
    QCheckBox* chkbSubtitles = nullptr;
    QLineEdit* eWorkers = nullptr;
    QLineEdit* ePicMargin = nullptr;
    QCheckBox* chkbPrev = nullptr;
    QCheckBox* chkbCursor = nullptr;
    QComboBox* cbGKey = nullptr;
    QComboBox* cbGKey2 = nullptr;
    QPushButton* btOK = nullptr;
    QPushButton* btESC = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* NumberField(const char* name);
    void ShowConverterControls(int converter, bool setTexts);

    std::filesystem::path m_programDir;
    std::string m_lastError;
};

} // namespace vocalix::shell
