// Qt objects in these tests (serial ports, the session's thread) want an application object.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

namespace {

class QtApplication : public ::testing::Environment {
public:
    void SetUp() override {
        if (QCoreApplication::instance() == nullptr) {
            app_ = std::make_unique<QCoreApplication>(argc_, argv_);
        }
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "kvn_link_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplication);

}  // namespace
