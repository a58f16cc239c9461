#include "ui/qt/form1.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <QUrl>

#include "forms/form1_form.h"
#include "scan/scan_error.h"
#include "ui/qt/accessibility.h"
#include "ui/qt/chat_launcher.h"
#include "ui/qt/clipboard_service.h"
#include "ui/qt/form_builder.h"
#include "ui/qt/layout_fonts.h"
#include "ui/qt/message_service.h"
#include "ui/qt/page_browser.h"
#include "ui/qt/process_launcher.h"
#include "ui/qt/window_hints.h"
#include "ui/qt/window_pictures.h"

namespace tavrix::qt {

namespace {

QString qName(std::string_view name) { return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())); }

// No row current and none selected, and a list that gets the focus does not make its first row
// current (Qt does that for a list whose current row was never set).
void noCurrentRow(QListWidget* list) { list->setCurrentIndex(QModelIndex()); }

}  // namespace

Form1::Form1(ManagementProvider& provider, DesktopServices services, TextForm textForm, QString browserRefusal,
             QWidget* parent)
    : QWidget(parent, qt::windowFlags(forms::form1Form())),
      services_(services),
      browserRefusal_(std::move(browserRefusal)),
      behaviour_(provider, *this, std::move(textForm), browserRefusal_.toStdString()) {
    layoutDpi_ = qt::layoutDpi(forms::form1Form(), windowFrame(forms::form1Form()));
    applyWindow(*this, forms::form1Form(), layoutDpi_);
    client_ = clientArea(*this, forms::form1Form());
}

Form1::~Form1() {
    // The browser's page goes before the profile it uses.
    delete Frame1_;
}

void Form1::load() {
    if (isLoaded()) return;
    createControls();
    connectHandlers();
    behaviour_.Form_Load();
}

QUrl Form1::lookupUrl(const std::string& address) {
    return QUrl::fromEncoded(QByteArray::fromStdString(address), QUrl::TolerantMode);
}

QWidget* Form1::control(const QString& name) {
    load();
    if (name == QLatin1String("Form1")) return this;
    return findChild<QWidget*>(name);
}

QLabel* Form1::valueLabel(ValueLabel label) {
    load();
    return valueLabels_[static_cast<std::size_t>(label)];
}

QListWidget* Form1::list(ModuleList which) {
    load();
    switch (which) {
        case ModuleList::slotsLst: return slotsLst_;
        case ModuleList::memoryLst: return memoryLst_;
        case ModuleList::speedLst: return speedLst_;
    }
    return nullptr;
}

void Form1::clearList(ModuleList which) {
    list(which)->clear();
    noCurrentRow(list(which));
}

void Form1::appendRow(ModuleList which, const std::string& row) {
    list(which)->addItem(QString::fromStdString(row));
    noCurrentRow(list(which));
}

void Form1::setRowReading(int row, const std::string& reading) {
    for (ModuleList which : {ModuleList::slotsLst, ModuleList::memoryLst, ModuleList::speedLst})
        if (QListWidgetItem* item = list(which)->item(row))
            item->setData(Qt::AccessibleTextRole, QString::fromStdString(reading));
}

void Form1::setCaption(ValueLabel label, const std::string& caption) {
    setValueText(*valueLabel(label), QString::fromStdString(caption));
}

void Form1::navigate(const std::string& address) {
    const QUrl url = lookupUrl(address);
    if (!url.isValid()) throw ScanError("Navigation failed: invalid address " + address);
    load();
    if (!WB_) return;  // no browser may run: WB shows why instead
    services_.browser.navigate(*WB_, url);
}

void Form1::setVisible(bool visible) {
    if (visible) {
        load();
        applyWindowManagerHints(*this, forms::form1Form());
    }
    QWidget::setVisible(visible);
    if (visible) activateShownWindow(*this, slotsLst_);
}

void Form1::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit closed();
}

// A click on Image1 or Label39 is a press and a release of the left button on the same control;
// the second click of a double click comes as a double-click event, not as a press.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == WB_) {
        // The page's view becomes WB's focus proxy after WB joined the Tab order: order it again.
        if (event->type() == QEvent::ChildAdded)
            QTimer::singleShot(0, this, [this] { applyTabOrder(forms::form1Form(), controls_); });
        return QWidget::eventFilter(watched, event);
    }
    if (auto* shown = qobject_cast<QListWidget*>(watched);
        shown && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        followFocus(shown, event->type() == QEvent::FocusIn);
    const bool link = watched == Image1_ || watched == Label39_;
    const bool press = event->type() == QEvent::MouseButtonPress;
    if (!link || (!press && event->type() != QEvent::MouseButtonRelease)) return QWidget::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) return QWidget::eventFilter(watched, event);
    if (press) {
        pressed_ = watched;
    } else {
        const bool clicked =
            pressed_ == watched && static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint());
        pressed_ = nullptr;
        if (clicked && watched == Image1_) behaviour_.Image1_Click();
        if (clicked && watched == Label39_) behaviour_.Label39_Click();
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::createControls() {
    controls_ = buildControls(
        forms::form1Form(), client_,
        [this](const forms::ControlDescription&, QWidget* frame) { return createBrowser(frame); }, layoutDpi_);
    const QHash<QString, QWidget*>& widgets = controls_;
    Frame1_ = qobject_cast<QGroupBox*>(widgets.value(QStringLiteral("Frame1")));
    for (std::size_t i = 0; i < valueLabels_.size(); ++i)
        valueLabels_[i] = qobject_cast<QLabel*>(widgets.value(qName(controlName(static_cast<ValueLabel>(i)))));
    slotsLst_ = qobject_cast<QListWidget*>(widgets.value(QStringLiteral("slotsLst")));
    memoryLst_ = qobject_cast<QListWidget*>(widgets.value(QStringLiteral("memoryLst")));
    speedLst_ = qobject_cast<QListWidget*>(widgets.value(QStringLiteral("speedLst")));
    Image1_ = qobject_cast<QLabel*>(widgets.value(QStringLiteral("Image1")));
    Label39_ = qobject_cast<QLabel*>(widgets.value(QStringLiteral("Label39")));
    clipboardCmd_ = qobject_cast<QPushButton*>(widgets.value(QStringLiteral("clipboardCmd")));

    const QPixmap picture = chatPicture();
    Image1_->setPixmap(layoutDpi_ == 96 ? picture
                                        : picture.scaled(picture.size() * layoutDpi_ / 96, Qt::KeepAspectRatio,
                                                         Qt::SmoothTransformation));

    // Label39 keeps the face and size of the layout; at Liberation Sans's widths its text is a
    // few pixels wider than the label, so its letters are set 2% narrower, or more where the
    // builder condensed them to fit a smaller layout.
    QFont linkFont = Label39_->font();
    linkFont.setStretch(qMin(98, linkFont.stretch() > 0 ? linkFont.stretch() : 100));
    Label39_->setFont(linkFont);

    // The classic Windows look: etched frames with their caption on the top border, and
    // label backgrounds in the same face colour as the frames.
    if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows"))) {
        classic->setParent(this);
        setStyle(classic);
        for (QWidget* child : findChildren<QWidget*>()) child->setStyle(classic);
    }
}

// WB, or in its place why there is no page: the browser is refused, or the page engine failed.
QWidget* Form1::createBrowser(QWidget* frame) {
    QString why = browserRefusal_;
    if (why.isEmpty()) {
        PageEvents events;
        events.loadFinished = [this] { applyTabOrder(forms::form1Form(), controls_); };
        events.newWindow = [this](const QUrl& address) {
            if (address.isValid()) behaviour_.WB_NewWindow(address.toString(QUrl::FullyEncoded).toStdString());
        };
        events.saveAs = [this](const QString& suggested) { return askSavePath(suggested); };
        WB_ = services_.browser.create(frame, std::move(events));
        if (WB_) {
            WB_->setFocusPolicy(Qt::StrongFocus);
            WB_->installEventFilter(this);
            return WB_;
        }
        why = services_.browser.failure();
    }
    auto* label = new QLabel(why, frame);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    return label;
}

void Form1::connectHandlers() {
    connect(clipboardCmd_, &QPushButton::clicked, this, [this] { behaviour_.clipboardCmd_Click(); });
    connect(memoryLst_, &QListWidget::itemSelectionChanged, this, [this] { behaviour_.memoryLst_Click(); });
    connect(slotsLst_, &QListWidget::itemSelectionChanged, this, [this] { behaviour_.slotsLst_Click(); });
    connect(speedLst_, &QListWidget::itemSelectionChanged, this, [this] { behaviour_.speedLst_Click(); });
    for (QListWidget* shown : {slotsLst_, memoryLst_, speedLst_}) shown->installEventFilter(this);
    Image1_->installEventFilter(this);
    Label39_->installEventFilter(this);
}

std::vector<std::string> Form1::rows(ModuleList which) const {
    const QListWidget* shown = const_cast<Form1*>(this)->list(which);
    std::vector<std::string> texts;
    for (int row = 0; row < shown->count(); ++row) texts.push_back(shown->item(row)->text().toStdString());
    return texts;
}

int Form1::selectedRow(ModuleList which) const {
    const QListWidget* shown = const_cast<Form1*>(this)->list(which);
    const QModelIndexList selected = shown->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

// A list that follows another gets no current row, so that a screen reader hears only the row of
// the list with the focus; the list takes its selected row as current when it gets the focus.
void Form1::selectRow(ModuleList which, int row) {
    QListWidget* target = list(which);
    const QSignalBlocker blocker(target);
    if (row >= 0 && target->hasFocus()) {
        target->setCurrentRow(row);
        return;
    }
    if (row >= 0) {
        target->selectionModel()->select(target->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
    } else {
        target->clearSelection();
    }
    target->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void Form1::followFocus(QListWidget* shown, bool focused) {
    const QModelIndexList selected = shown->selectionModel()->selectedIndexes();
    const QModelIndex current = focused && !selected.isEmpty() ? selected.first() : QModelIndex();
    if (focused && !current.isValid()) return;
    shown->selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
}

void Form1::setClipboardText(const std::string& text) {
    services_.clipboard.clear();
    services_.clipboard.setText(QString::fromStdString(text));
}

void Form1::confirmCopy(const std::string& confirmation) {
    load();
    confirmToScreenReader(*clipboardCmd_, QString::fromStdString(confirmation));
}

bool Form1::startBrowser(const std::string& address) {
    return services_.launcher.startDetached(chatProgram(), {QString::fromStdString(address)});
}

void Form1::showMessage(const std::string& text) { services_.messageBox.show(QString::fromStdString(text)); }

QString Form1::askSavePath(const QString& suggested) {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(suggested);
    QTimer::singleShot(0, &dialog, [&dialog] {
        if (dialog.isVisible()) activateShownWindow(dialog, nullptr);
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace tavrix::qt
