#pragma once

#include "engine/frame.h"

#include <QWidget>

#include <cstdint>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QRadioButton;

namespace quillora {

struct Family;
struct FamilyPlace;
struct Form;
class WorksheetTarget;

/// The problem dialog: pick a family and a form, press "Make It!". It stays open for the whole
/// run so any number of worksheets can be made.
class ProblemDialog : public QWidget {
    Q_OBJECT

public:
    explicit ProblemDialog(WorksheetTarget* target, QWidget* parent = nullptr);

    /// Runs the driver of the selected family, if its family is in the catalogue.
    void makeWorksheet();
    /// The seed of the last run, so that its worksheet can be made again.
    std::uint32_t lastSeed() const { return m_lastSeed; }

signals:
    /// "&Quit" was pressed: the program is to end at once, without closing any window.
    void quitRequested();

private:
    struct FormOption {
        QAbstractButton* button;
        FormSelection selection;
    };
    // A family's option, its frame, and the form each of the frame's buttons selects.
    struct FamilyControls {
        QRadioButton* option;
        QGroupBox* frame;
        const Family* entry;
        std::vector<FormOption> forms;
    };

    void addFrame(const FamilyPlace& place);
    QAbstractButton* addPictureButton(QWidget* frame, const Form& form, QRect rect);
    void showFrameOf(const FamilyControls& family);
    void runFamily(const FamilyControls& family);

    WorksheetTarget* m_target;
    QCheckBox* m_fractionAnswers = nullptr;
    // In the catalogue's order.
    std::vector<FamilyControls> m_families;
    std::uint32_t m_lastSeed = 0;
};

} // namespace quillora
