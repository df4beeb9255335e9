// The progress dialog shared by long device operations (the firmware loads of start-up and of
// the FPGA page): at most one at a time, open from open() to close(), shown through the prompt
// service, with one program-wide cancelled flag that open() clears.
//
// Used on the GUI thread only; the camera library's loaders call the callback from inside the
// load call, on the caller's thread.
#pragma once

#include <QString>
#include <memory>

#include <kxCxApi.h>

class QWidget;

namespace hv {

class ProgressView;

class ProgressDialog {
public:
    ProgressDialog() = delete;

    // Clears the cancelled flag and opens a progress dialog over 0..maximum (replacing one still
    // open).
    static void open(const QString& label, const QString& cancelText, int maximum, QWidget* parent);
    // Sets the value of the open dialog (nothing without one); when cancelled is not null, it
    // receives whether Cancel was pressed since open().
    static void update(int value, bool* cancelled);
    // Closes the dialog; the cancelled flag keeps its state.
    static void close();

    // Cancel was pressed since the last open().
    static bool cancelled();
    // The dialog in use, or null.
    static ProgressView* view() { return s_lpProgressDialog.get(); }

    // The progress procedure handed to the library's loaders: update() under its signature.
    static constexpr CxProgressProc callback = &update;

private:
    static std::unique_ptr<ProgressView> s_lpProgressDialog;
    static bool s_cancelled;
};

}  // namespace hv
