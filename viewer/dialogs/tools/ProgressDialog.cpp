#include "ProgressDialog.h"

#include "PromptService.h"

namespace hv {

std::unique_ptr<ProgressView> ProgressDialog::s_lpProgressDialog;
bool ProgressDialog::s_cancelled = false;

void ProgressDialog::open(const QString& label, const QString& cancelText, int maximum,
                          QWidget* parent) {
    s_lpProgressDialog.reset();
    s_cancelled = false;
    s_lpProgressDialog = PromptService::current().progress(parent, label, cancelText, maximum);
}

void ProgressDialog::update(int value, bool* cancelled) {
    if (s_lpProgressDialog) {
        s_lpProgressDialog->setValue(value);
    }
    const bool wasCancelled = ProgressDialog::cancelled();
    if (cancelled) {
        *cancelled = wasCancelled;
    }
}

void ProgressDialog::close() {
    // A Cancel pressed after the last update still counts.
    s_cancelled = cancelled();
    s_lpProgressDialog.reset();
}

bool ProgressDialog::cancelled() {
    if (s_lpProgressDialog && s_lpProgressDialog->wasCancelled()) {
        s_cancelled = true;
    }
    return s_cancelled;
}

}  // namespace hv
