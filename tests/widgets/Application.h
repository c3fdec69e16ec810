#pragma once

// One QApplication for the whole widget test program, on the offscreen platform: created
// before the first test, destroyed after the last. Every test file that makes widgets
// includes this header.

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

namespace kovet::test {

class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QApplication::instance() != nullptr) return;
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "widgets_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

inline ::testing::Environment* const kApplication = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

// Shows a top-level window and makes it the active one, so that focus changes take effect.
inline void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

} // namespace kovet::test
