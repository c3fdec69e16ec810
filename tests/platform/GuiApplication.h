#pragma once

// One QGuiApplication for the whole platform test program, on the offscreen platform: created
// before the first test, destroyed after the last. Every test file that paints or measures
// text includes this header.

#include <QGuiApplication>
#include <gtest/gtest.h>

#include <memory>

namespace kovet::test {

class GuiApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QGuiApplication::instance() != nullptr) return;
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "platform_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

inline ::testing::Environment* const kGuiApplication =
    ::testing::AddGlobalTestEnvironment(new GuiApplicationEnvironment);

} // namespace kovet::test
