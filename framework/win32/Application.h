#pragma once
// The application object: the hidden top-level window that owns every form of the program (the window
// a taskbar button would belong to), the message loop, and the standard error box.

#include <windows.h>

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "framework/Synchronizer.h"
#include "framework/win32/Window.h"

namespace vantor::win32 {

class Application final : public Window, public Synchronizer {
public:
    explicit Application(HINSTANCE instance);
    ~Application() override;

    // The one application of this process, or null before it exists.
    static Application* Current() noexcept { return current_; }

    HINSTANCE Instance() const noexcept { return instance_; }
    // The executable's name without its extension, the caption of the standard error box.
    const std::wstring& Title() const noexcept { return title_; }
    HICON Icon() const noexcept { return icon_; }

    // Runs the message loop until Terminate; returns the exit code.
    int Run();
    void Terminate();
    bool Terminated() const noexcept { return terminated_; }
    // Dispatches every message already waiting, then returns.
    void ProcessMessages();

    // The application as a whole minimised and restored (its window is never shown, so this is a
    // state of its own); the handlers installed here are told.
    void Minimize();
    void Restore();
    bool IsIconic() const noexcept { return iconic_; }
    std::function<void()> OnMinimize;
    std::function<void()> OnRestore;

    // The program's forms, the most recently activated first and never-activated ones after them in
    // the order they were made.
    void AddForm(HWND form);
    void RemoveForm(HWND form);
    void FormActivated(HWND form);
    const std::vector<HWND>& Forms() const noexcept { return forms_; }
    // Forms open beside the others rather than in a modal run: the loop gives them the dialog keyboard.
    void AddModelessForm(HWND form);
    void RemoveModelessForm(HWND form);

    // An open modal run for as long as it lives: a form run modally, or the owner of the error box while
    // the box is open.
    class ModalRun {
    public:
        ModalRun(Application& application, HWND window);
        ~ModalRun();
        ModalRun(const ModalRun&) = delete;
        ModalRun& operator=(const ModalRun&) = delete;

    private:
        Application& application_;
    };
    [[nodiscard]] ModalRun EnterModalRun(HWND window) { return ModalRun(*this, window); }
    // Brings the innermost open modal run to the front, or the box it opened in turn (the save dialog, the
    // error box, a question over either); false when none is open.
    bool BringModalRunToFront();

    void Synchronize(const std::function<void()>& work) override;
    void CheckSynchronize() override;

    // Shows an error that ended a handler in the standard error box; the program carries on.
    static void HandleException(const std::exception& error);
    void ShowException(const std::exception& error);
    // A message box with the executable's name for its caption (`icon`: MB_ICONSTOP and the like), held
    // as an open modal run.
    void ShowMessage(const std::wstring& text, UINT icon);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // A shown box of this thread owned by `owner` that is none of the forms, or null.
    HWND BoxOwnedBy(HWND owner) const;
    // Tab, Enter and Esc for a modeless form's controls; true when the message was taken.
    bool TakeDialogMessage(MSG& message) const;
    static inline Application* current_ = nullptr;
    HINSTANCE instance_;
    std::wstring title_;
    HICON icon_ = nullptr;
    bool terminated_ = false;
    bool iconic_ = false;
    std::vector<HWND> forms_;
    std::size_t activatedForms_ = 0;  // how many of forms_ (from the front) were ever activated
    std::vector<HWND> modalRuns_;     // innermost last
    std::vector<HWND> modelessForms_;

    struct HandOff {
        const std::function<void()>* work;
        std::exception_ptr error;
        bool done = false;
    };
    std::mutex handOffMutex_;
    std::condition_variable handOffDone_;
    std::vector<HandOff*> handOffs_;
    DWORD guiThread_;
};

// The full path of this executable and its directory, with the trailing separator.
std::wstring ExecutablePath();
std::wstring ExecutableDirectory();

}  // namespace vantor::win32
