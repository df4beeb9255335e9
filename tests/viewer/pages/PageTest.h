// What the tests of a register page share: the simulated boards, a recording register port that
// the page talks through, scripted prompts, and the program's single page, initialised over the
// boards a test names and destroyed after each test.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>
#include <initializer_list>

#include "PageBoards.h"
#include "RecordingRegisterPort.h"
#include "ScriptedPrompts.h"
#include "SingleInstances.h"

namespace hvtest {

template <class Page>
class PageTest : public testing::Test {
protected:
    void TearDown() override { hv::SingleInstances::destroyAll(); }

    // The page initialised over the boards, in that order, its transfers noted from the start.
    Page& pageOver(std::initializer_list<PageBoards::Board> list) {
        Page* page = Page::instance();
        EXPECT_NE(page, nullptr);
        page->setRegisterPort(&port);
        page->initialise(nullptr, static_cast<int>(list.size()), boards.names(list),
                         boards.handles(list));
        return *page;
    }

    template <class Widget>
    static Widget& widget(QWidget& page, const char* name) {
        auto* found = page.findChild<Widget*>(name);
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }

    PageBoards boards;
    RecordingRegisterPort port;
    ScriptedPrompts prompts;
};

}  // namespace hvtest
