#pragma once

class QString;

namespace quillora {

/// Where a run hands its worksheet: the worksheet window inside the main window. The steps are
/// called in this order; each loads whatever window it needs first.
class WorksheetTarget {
public:
    virtual ~WorksheetTarget() = default;
    /// Sets the point size of the worksheet window's text; face and weight stay.
    virtual void setWorksheetFontSize(double pointSize) = 0;
    virtual void showMainWindow() = 0;
    /// Replaces the whole text of the worksheet window.
    virtual void replaceWorksheetText(const QString& text) = 0;
};

} // namespace quillora
