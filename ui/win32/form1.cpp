#include "ui/win32/form1.h"

#include <vector>

#include "forms/form1_form.h"
#include "scan/utf16_text.h"
#include "ui/win32/accessible_control.h"
#include "ui/win32/browser_host.h"
#include "ui/win32/resource_ids.h"

namespace tavrix::win32 {

std::wstring browserCommandLine(const std::string& address) {
    return L"\"" + utf16Of(forms::chatBrowserPath) + L"\" " + utf16Of(address);
}

Form1::Form1(ManagementProvider& provider, DesktopServices services, TextForm textForm)
    : TopLevelWindow(forms::form1Form()), services_(services), behaviour_(provider, *this, std::move(textForm)) {}

Form1::~Form1() {
    unload();
    if (chatPicture_) DestroyIcon(chatPicture_);
}

void Form1::unload() {
    WB_.reset();
    destroyWindow();
}

void Form1::load() {
    if (isLoaded()) return;
    createWindow(nullptr, [this](const forms::ControlDescription&, HWND window, const RECT& place, int id) {
        WB_ = std::make_unique<BrowserHost>(window, place, id,
                                            [this](const std::string& address) { behaviour_.WB_NewWindow(address); });
        return WB_->window();
    });
    onRescaled();
    behaviour_.Form_Load();
}

// The chat picture drawn at its control's size for the window's scale.
void Form1::onRescaled() {
    const forms::WindowDescription& form = forms::form1Form();
    const RECT place = scale().rect(form.placeInClientArea(form.controls[controlId(form, "Image1") - firstControlId]));
    const auto picture = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(TAVRIX_CHAT_PICTURE),
                                                       IMAGE_ICON, place.right - place.left, place.bottom - place.top,
                                                       LR_DEFAULTCOLOR));
    if (!picture) return;
    TopLevelWindow::control("Image1").send(STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(picture));
    if (chatPicture_) DestroyIcon(chatPicture_);
    chatPicture_ = picture;
}

void Form1::show() {
    load();
    showActive();
}

NativeWindow Form1::control(std::string_view name) {
    load();
    return TopLevelWindow::control(name);
}

void Form1::clearList(ModuleList which) { list(which).clear(); }

void Form1::appendRow(ModuleList which, const std::string& row) { list(which).append(row); }

void Form1::setRowReading(int row, const std::string& reading) {
    for (ModuleList which : {ModuleList::slotsLst, ModuleList::memoryLst, ModuleList::speedLst})
        win32::setRowReading(list(which), row, reading);
}

void Form1::confirmCopy(const std::string& confirmation) {
    confirmToScreenReader(control("clipboardCmd"), confirmation);
}

// Setting a list's row from code does not notify, so the lists never call one another.
void Form1::selectRow(ModuleList which, int row) { list(which).selectRow(row); }

std::vector<std::string> Form1::rows(ModuleList which) const {
    const ListBox shown(form_.control(controlName(which)));
    std::vector<std::string> texts;
    for (int row = 0; row < shown.count(); ++row) texts.push_back(shown.row(row));
    return texts;
}

int Form1::selectedRow(ModuleList which) const { return ListBox(form_.control(controlName(which))).selectedRow(); }

void Form1::setCaption(ValueLabel label, const std::string& caption) {
    valueLabel(label).setText(caption);
    valueChanged(valueLabel(label));
}

void Form1::navigate(const std::string& address) {
    load();
    WB_->navigate(address);
    navigated_ = address;
}

void Form1::setClipboardText(const std::string& text) { services_.clipboard.replaceText(handle(), text); }

bool Form1::startBrowser(const std::string& address) {
    services_.launcher.start(utf16Of(forms::chatBrowserPath), browserCommandLine(address), SW_SHOWNORMAL);
    return true;
}

bool Form1::openInUsersBrowser(const std::string& address) {
    services_.launcher.openInBrowser(address);
    return true;
}

void Form1::showMessage(const std::string& text) { services_.messageBox.show(handle(), text); }

namespace {

// Each handler by the control whose notification raises it.
struct Command {
    int control;
    int code;
    void (behaviour::Form1::*handler)();
};

const std::vector<Command>& commands() {
    static const std::vector<Command> all = [] {
        const forms::WindowDescription& form = forms::form1Form();
        return std::vector<Command>{
            {controlId(form, "clipboardCmd"), BN_CLICKED, &behaviour::Form1::clipboardCmd_Click},
            {controlId(form, "Image1"), STN_CLICKED, &behaviour::Form1::Image1_Click},
            {controlId(form, "Label39"), STN_CLICKED, &behaviour::Form1::Label39_Click},
            {controlId(form, "memoryLst"), LBN_SELCHANGE, &behaviour::Form1::memoryLst_Click},
            {controlId(form, "slotsLst"), LBN_SELCHANGE, &behaviour::Form1::slotsLst_Click},
            {controlId(form, "speedLst"), LBN_SELCHANGE, &behaviour::Form1::speedLst_Click},
        };
    }();
    return all;
}

}  // namespace

void Form1::onCommand(HWND, int id, int code) {
    for (const Command& command : commands())
        if (command.control == id && command.code == code) (behaviour_.*command.handler)();
}

LRESULT Form1::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        if (closed) closed();
        return 0;
    }
    return TopLevelWindow::onMessage(message, wParam, lParam);
}

}  // namespace tavrix::win32
