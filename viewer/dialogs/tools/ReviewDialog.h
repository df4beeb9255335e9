// The review dialog as the tools dialog sees it: a dialog listing the folders of saved pictures
// and videos, whose list is rebuilt before it is shown.
#pragma once

#include <QDialog>

namespace hv {

class ReviewDialog : public QDialog {
public:
    using QDialog::QDialog;

    // Rebuilds the list of folders; parent is the dialog the review was asked from.
    virtual void refresh(QWidget* parent) = 0;
};

}  // namespace hv
