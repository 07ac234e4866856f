// The dynamics window and its speaker and rack windows in the whole program, with helpers that
// find and drive their controls by name.
#pragma once

#include "EditorHarness.h"

#include "ui/editors/EditorWindows.h"
#include "ui/editors/TDynamicform.h"
#include "ui/main/ClickLabel.h"
#include "widgets/LedButton.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace kvn::ui::test {

// The controls of one window, by name (the dynamics, speaker and rack windows share names such
// as "Output1B").
struct Controls {
    QWidget* in;

    template <typename T>
    T* get(const char* name) const {
        T* widget = in->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString text(const char* name) const {
        if (auto* edit = in->findChild<QLineEdit*>(QString::fromLatin1(name))) {
            return edit->text();
        }
        return get<QLabel>(name)->text();
    }
    void click(const char* name) const {
        if (auto* led = in->findChild<widgets::LedButton*>(QString::fromLatin1(name))) {
            led->click();
        } else {
            get<QAbstractButton>(name)->click();
        }
    }
    void type(const char* name, const QString& value) const {
        auto* edit = get<QLineEdit>(name);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, value);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void key(const char* name, Qt::Key key) const { QTest::keyClick(get<QLineEdit>(name), key); }
    void clickLabel(const char* name, int times) const {
        for (int i = 0; i < times; ++i) {
            emit get<ClickLabel>(name)->clicked();
        }
    }
};

// The whole program with its dynamics window's controls.
struct DynamicsWindow : Controls {
    DynamicsWindow()
        : Controls{nullptr}, form(*editor.find<TDynamicform>(QStringLiteral("TDynamicform"))) {
        in = &form;
    }
    const DynamicsUnit& unit(int n) { return editor.app().config().unit(n); }

    EditorHarness editor{installEditorWindows};
    TDynamicform& form;
};

}  // namespace kvn::ui::test
