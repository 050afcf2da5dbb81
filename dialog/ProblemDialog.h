#pragma once

#include <QWidget>

#include <cstdint>
#include <string_view>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace quillora {

class WorksheetTarget;

/// The problem dialog: pick a family and a form, press "Make It!". It stays open for the whole
/// run so any number of worksheets can be made.
class ProblemDialog : public QWidget {
    Q_OBJECT

public:
    explicit ProblemDialog(WorksheetTarget* target, QWidget* parent = nullptr);

    /// Runs the driver of the selected family, if its family is in the catalogue.
    void makeIt();
    /// The seed of the last run, so that its worksheet can be made again.
    std::uint32_t lastSeed() const { return m_lastSeed; }

signals:
    /// "&Quit" was pressed: the program is to end at once, without closing any window.
    void quitRequested();

private:
    struct FormOption {
        QAbstractButton* button;
        std::string_view formName;
    };
    struct Family {
        QRadioButton* option;
        QGroupBox* frame;
        std::string_view catalogueName;
        std::vector<FormOption> forms;
        QAbstractButton* mixed;
    };

    QGroupBox* addFrame(
        const char* name, const QString& caption, int left, int top, int width, int height);
    QRadioButton* addOption(QWidget* frame, const char* name, const QString& caption, int left,
        int top, int width, int height);
    void buildFractionEquationFrame();
    void showFrameOf(const Family& family);
    void runFamily(const Family& family);

    WorksheetTarget* m_target;
    QGroupBox* m_framFactoring = nullptr;
    QGroupBox* m_framOperation = nullptr;
    QGroupBox* m_framBinomial = nullptr;
    QGroupBox* m_framEquations = nullptr;
    QGroupBox* m_framFB = nullptr;
    QCheckBox* m_chkFracOK = nullptr;
    QButtonGroup* m_fbGroup = nullptr;
    // In the order "Make It!" tests them.
    std::vector<Family> m_families;
    std::uint32_t m_lastSeed = 0;
};

} // namespace quillora
