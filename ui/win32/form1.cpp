#include "form1.h"

#include "browser_host.h"
#include "com_text.h"
#include "form1_form.h"
#include "resource_ids.h"

namespace tavrix::win32 {

std::wstring chatCommandLine() {
    return L"\"" + utf16Of(forms::chatBrowserPath) + L"\" " + utf16Of(forms::chatAddress);
}

Form1::Form1(ManagementProvider& provider, DesktopServices services, TextForm textForm)
    : TopLevelWindow(forms::form1Form()), services_(services), scan_(provider, *this, std::move(textForm)) {}

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
        WB_ = std::make_unique<BrowserHost>(window, place, id, services_);
        return WB_->window();
    });
    chatPicture_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(TAVRIX_CHAT_PICTURE),
                                                 IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    if (chatPicture_) control("Image1").send(STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(chatPicture_));
    Form_Load();
}

void Form1::show() {
    load();
    showActive();
}

std::string Form1::getTavrix() {
    load();
    return scan_.getTavrix();
}

NativeWindow Form1::control(std::string_view name) {
    load();
    return TopLevelWindow::control(name);
}

void Form1::clearList(ModuleList which) { list(which).clear(); }

void Form1::appendRow(ModuleList which, const std::string& row) { list(which).append(row); }

void Form1::setCaption(ValueLabel label, const std::string& caption) { valueLabel(label).setText(caption); }

void Form1::navigate(const std::string& address) {
    load();
    WB_->navigate(address);
    navigated_ = address;
}

void Form1::onCommand(HWND control, int, int code) {
    const forms::ControlDescription* described = form_.description(control);
    if (!described) return;
    const std::string_view name = described->name;
    if (code == BN_CLICKED && name == "clipboardCmd") clipboardCmd_Click();
    if (code == STN_CLICKED && name == "Image1") Image1_Click();
    if (code == STN_CLICKED && name == "Label39") Label39_Click();
    if (code == LBN_SELCHANGE && name == "memoryLst") memoryLst_Click();
    if (code == LBN_SELCHANGE && name == "slotsLst") slotsLst_Click();
    if (code == LBN_SELCHANGE && name == "speedLst") speedLst_Click();
}

LRESULT Form1::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        if (closed) closed();
        return 0;
    }
    return TopLevelWindow::onMessage(message, wParam, lParam);
}

void Form1::Form_Load() {
    for (ValueLabel label : forms::form1BlankingOrder) valueLabel(label).setText("");
    values().moduleCount = 0;
}

void Form1::clipboardCmd_Click() { services_.clipboard.replaceText(handle(), values().reportText); }

// Setting a list's row from code does not notify, so the lists never call one another.
void Form1::memoryLst_Click() {
    list(ModuleList::slotsLst).selectRow(list(ModuleList::memoryLst).selectedRow());
    list(ModuleList::speedLst).selectRow(list(ModuleList::memoryLst).selectedRow());
}

void Form1::slotsLst_Click() {
    list(ModuleList::memoryLst).selectRow(list(ModuleList::slotsLst).selectedRow());
    list(ModuleList::speedLst).selectRow(list(ModuleList::slotsLst).selectedRow());
}

void Form1::speedLst_Click() {
    list(ModuleList::memoryLst).selectRow(list(ModuleList::speedLst).selectedRow());
    list(ModuleList::slotsLst).selectRow(list(ModuleList::speedLst).selectedRow());
}

void Form1::launchChat() {
    // The one handler that traps its failures: whatever goes wrong, the user hears one thing.
    try {
        services_.launcher.start(utf16Of(forms::chatBrowserPath), chatCommandLine(), SW_SHOWNORMAL);
    } catch (...) {
        services_.messageBox.show(handle(), forms::browserNotFound);
    }
}

}  // namespace tavrix::win32
