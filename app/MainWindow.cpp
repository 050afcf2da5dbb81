#include "app/MainWindow.h"

#include "app/DocumentExport.h"
#include "app/DocumentWindow.h"
#include "app/GeometrySettings.h"
#include "app/ModalDialogs.h"
#include "dialog/Twips.h"
#include "engine/rtf_writer.h"
#include "engine/text.h"
#include "system/atomic_file.h"
#include "system/system_paper.h"

#include <QAction>
#include <QByteArray>
#include <QCloseEvent>
#include <QDateTime>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPageSize>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QStatusBar>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include <cstdio>
#include <string>
#include <utility>

namespace quillora {

namespace {

// The system's paper for Save and Print; a paper name it does not know is reported once, on
// standard error.
Paper systemPaper()
{
    static bool warned = false;
    std::string warning;
    const Paper paper = system_paper(&warning);
    if (!warning.empty() && !std::exchange(warned, true))
        std::fprintf(stderr, "quillora: %s\n", warning.c_str());
    return paper;
}

// The built-in printer picture, for desktops whose theme has none.
QIcon fallbackPrintIcon()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(4, 1, 7, 5);
    painter.setBrush(QColor(192, 192, 192));
    painter.drawRect(1, 6, 13, 6);
    painter.setBrush(Qt::white);
    painter.drawRect(4, 10, 7, 4);
    return QIcon(picture);
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_mdiArea(new QMdiArea(this))
    , m_dialogs(new QtModalDialogs(this))
    , m_date(new QLabel(this))
    , m_time(new QLabel(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Test Results"));
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setBackground(palette().brush(QPalette::Dark));
    // A document window that extends past the area can be scrolled into view.
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    auto* fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu->setObjectName(QStringLiteral("mnuFile"));
    auto* saveItem = fileMenu->addAction(QStringLiteral("&Save"));
    saveItem->setObjectName(QStringLiteral("mnuFileSave"));
    auto* printItem = fileMenu->addAction(QStringLiteral("&Print..."));
    printItem->setObjectName(QStringLiteral("mnuFilePrint"));
    auto* exitItem = fileMenu->addAction(QStringLiteral("E&xit"));
    exitItem->setObjectName(QStringLiteral("mnuFileExit"));
    connect(saveItem, &QAction::triggered, this, &MainWindow::save);
    connect(printItem, &QAction::triggered, this, &MainWindow::print);
    connect(exitItem, &QAction::triggered, this, &QWidget::close);

    auto* toolBar = addToolBar(QStringLiteral("Toolbar"));
    toolBar->setObjectName(QStringLiteral("tbToolBar"));
    toolBar->setIconSize(QSize(16, 16));
    toolBar->setMovable(false);
    const QIcon saveIcon = QIcon::fromTheme(
        QStringLiteral("document-save"), style()->standardIcon(QStyle::SP_DialogSaveButton));
    const QIcon printIcon = QIcon::fromTheme(QStringLiteral("document-print"), fallbackPrintIcon());
    for (const auto& [key, icon] : { std::pair { QStringLiteral("Save"), saveIcon },
             std::pair { QStringLiteral("Print"), printIcon } }) {
        QAction* button = toolBar->addAction(icon, key);
        button->setObjectName(QStringLiteral("tbToolBar") + key);
        button->setData(key);
        button->setToolTip(key);
    }
    connect(toolBar, &QToolBar::actionTriggered, this,
        [this](QAction* button) { runToolbarCommand(button->data().toString()); });

    auto* bar = statusBar();
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    auto* status = new QLabel(QStringLiteral("Status"), this);
    status->setObjectName(QStringLiteral("sbStatusBarStatus"));
    m_date->setObjectName(QStringLiteral("sbStatusBarDate"));
    m_time->setObjectName(QStringLiteral("sbStatusBarTime"));
    bar->addWidget(status, 1);
    bar->addPermanentWidget(m_date);
    bar->addPermanentWidget(m_time);
    updateClock();
    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, &MainWindow::updateClock);
    clock->start(1000);

    resize(toPixels(4680), toPixels(3195));
}

MainWindow::~MainWindow() = default;

void MainWindow::updateClock()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    m_date->setText(locale.toString(now.date(), QLocale::ShortFormat));
    m_time->setText(locale.toString(now.time(), QLocale::ShortFormat));
}

void MainWindow::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    restoreGeometryFromSettings();
    newDocument();
}

void MainWindow::restoreGeometryFromSettings()
{
    const QRect outer = toPixels(GeometrySettings::load());
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    m_pendingOuterSize.reset();
    if (m_normalFrame) {
        // Shown before in this run: the window manager frames it as it framed the normal window
        // then. The frame Qt reports for the hidden window is the last one it saw, a maximized
        // window's perhaps, so it is not used.
        const QRect inner = outer.marginsRemoved(*m_normalFrame);
        setGeometry(QRect(inner.topLeft(), inner.size().expandedTo(QSize(1, 1))));
        return;
    }
    // The first load: the frame is not known before the first show. The window is placed by its
    // outer corner, and its size is corrected once the window manager has framed it, so the
    // window does not grow by its frame at every start.
    move(outer.topLeft());
    resize(outer.size());
    m_pendingOuterSize = outer.size();
}

bool MainWindow::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::WindowActivate:
    case QEvent::WindowStateChange:
        activatePendingWorksheet();
        if (isVisible() && windowState() == Qt::WindowNoState) {
            const QMargins margins = currentFrame();
            if (!margins.isNull()) {
                if (m_pendingOuterSize) {
                    const QSize outer = *m_pendingOuterSize;
                    m_pendingOuterSize.reset();
                    resize(outer.shrunkBy(margins).expandedTo(QSize(1, 1)));
                } else if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
                    m_normalFrame = margins;
                }
            }
        }
        break;
    default:
        break;
    }
    return handled;
}

QMargins MainWindow::currentFrame() const
{
    // The window system's frame as it is now. QWidget::frameGeometry() keeps the frame it last
    // measured, which can still be the normal window's after the window manager has maximized
    // the window (and so be a border too wide).
    if (const QWindow* window = windowHandle())
        return window->frameMargins();
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    return QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
        frame.right() - inner.right(), frame.bottom() - inner.bottom());
}

void MainWindow::saveGeometryToSettings()
{
    GeometrySettings::save(toTwips(geometry().marginsAdded(currentFrame())));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_loaded) {
        if (!isMinimized())
            saveGeometryToSettings();
        m_pendingOuterSize.reset();
        m_worksheet = nullptr;
        m_pendingActive = nullptr;
        m_mdiArea->closeAllSubWindows();
        m_loaded = false;
    }
    event->accept();
}

DocumentWindow* MainWindow::addDocumentWindow()
{
    auto* document = new DocumentWindow;
    QMdiSubWindow* sub = m_mdiArea->addSubWindow(document);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // A child window opens at the form's stored client size plus its frame.
    sub->resize(sub->sizeHint());
    connect(document, &DocumentWindow::closing, this, [this](DocumentWindow* closing) {
        if (m_worksheet == closing)
            m_worksheet = nullptr;
    });
    connect(document, &DocumentWindow::pasteRefused, this, [this](const QString& message) {
        m_dialogs->warn(this, QStringLiteral("Paste"), message);
    });
    return document;
}

void MainWindow::newDocument()
{
    ++m_documentCounter;
    DocumentWindow* document = addDocumentWindow();
    document->setWindowTitle(QStringLiteral("Document %1").arg(m_documentCounter));
    document->show();
}

DocumentWindow* MainWindow::worksheetWindow()
{
    if (!m_worksheet) {
        load();
        m_worksheet = addDocumentWindow();
        m_worksheet->show();
    }
    return m_worksheet;
}

DocumentWindow* MainWindow::activeDocument() const
{
    // The current window, not the active one: the MDI area loses focus to the menu.
    QMdiSubWindow* sub = m_pendingActive ? m_pendingActive.data() : m_mdiArea->currentSubWindow();
    return sub ? qobject_cast<DocumentWindow*>(sub->widget()) : nullptr;
}

void MainWindow::setWorksheetFontSize(double pointSize)
{
    worksheetWindow()->setFontSize(pointSize);
}

void MainWindow::showMainWindow()
{
    load();
    // The new worksheet comes into view: a minimized window is restored (a maximized one stays
    // maximized), and the window is raised above other windows and activated.
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MainWindow::replaceWorksheetText(const QString& text)
{
    DocumentWindow* worksheet = worksheetWindow();
    worksheet->replaceText(text);
    // Save and Print act on the active window: make it the worksheet just made. A minimized
    // main window refuses to activate a child (and restores the previous one when it is
    // restored), so the activation then waits until the window is restored.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(worksheet->parentWidget())) {
        // A worksheet window the user minimized inside the main window comes back into view.
        if (sub->isMinimized())
            sub->showNormal();
        m_mdiArea->setActiveSubWindow(sub);
        m_pendingActive = m_mdiArea->currentSubWindow() == sub ? nullptr : sub;
    }
}

void MainWindow::activatePendingWorksheet()
{
    if (!m_pendingActive || isMinimized())
        return;
    m_mdiArea->setActiveSubWindow(m_pendingActive);
    if (m_mdiArea->currentSubWindow() == m_pendingActive)
        m_pendingActive = nullptr;
}

void MainWindow::setModalDialogs(ModalDialogs* dialogs)
{
    delete m_dialogs;
    m_dialogs = dialogs;
    m_dialogs->setParent(this);
}

void MainWindow::save()
{
    DocumentWindow* document = activeDocument();
    if (!document)
        return;
    const QString fileName = m_dialogs->chooseSaveFile(this);
    if (fileName.isEmpty())
        return;
    const std::string rtf = write_rtf(textRuns(*document->textBox()->document()), systemPaper());
    const std::string name = QFile::encodeName(fileName).toStdString();
    const WriteResult result = write_file(name, rtf, NonRegularTarget::Refuse);
    if (!result.written) {
        m_dialogs->warn(this, QStringLiteral("Save"),
            QStringLiteral("Could not save %1: %2")
                .arg(QString::fromStdString(quoted_text(name, '"')),
                    QString::fromStdString(result.reason)));
    }
}

void MainWindow::print()
{
    DocumentWindow* document = activeDocument();
    if (!document)
        return;
    QTextEdit* box = document->textBox();
    const bool hasSelection = box->textCursor().hasSelection();
    QPrinter printer(QPrinter::HighResolution);
    // The dialog starts on the system's paper; a printer chosen there may change it.
    const Paper paper = systemPaper();
    printer.setPageSize(QPageSize(
        QSizeF(paper.width, paper.height), QPageSize::Point, QString(), QPageSize::FuzzyMatch));
    if (!m_dialogs->choosePrinter(this, printer, hasSelection))
        return;
    const bool selectionOnly = hasSelection && printer.printRange() == QPrinter::Selection;
    printDocument(*box->document(), box->textCursor(), selectionOnly, printer);
}

void MainWindow::runToolbarCommand(const QString& key)
{
    if (key == QLatin1String("Save"))
        save();
    else if (key == QLatin1String("Print"))
        print();
}

} // namespace quillora
