#pragma once
// A real main window started on a fixture bank, offline, offscreen.
#include "app/FrmMain.h"
#include "platform/AppFolder.h"
#include "platform/Online.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

class MainWindowFixture : public ::testing::Test {
protected:
    explicit MainWindowFixture(const std::string& sql) : inst(sql) {
        SetAppFolder(inst.Folder());
        previousOnline = SetOnlineCheckHandler([](const QString&) { return false; });
    }
    ~MainWindowFixture() override {
        frm.reset();
        SetOnlineCheckHandler(previousOnline);
        SetAppFolder({});
    }
    TFrmMain& Start() {
        frm = std::make_unique<TFrmMain>();
        frm->resize(1300, 734);
        frm->show();
        QApplication::processEvents();
        EXPECT_TRUE(frm->FormCreate());
        QApplication::processEvents();
        return *frm;
    }

    // Runs `act` on the next modal dialog of type T once it is up (page
    // script calls run event loops of their own before the dialog opens).
    template <class T> static void whenShown(std::function<void(T&)> act, int triesLeft = 500) {
        QTimer::singleShot(20, [act, triesLeft] {
            auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget());
            if (dlg) return act(*dlg);
            if (triesLeft > 0) return whenShown<T>(act, triesLeft - 1);
            ADD_FAILURE() << "no dialog";
        });
    }

    MessageBoxRecorder boxes;
    TestInstall inst;
    std::unique_ptr<TFrmMain> frm;
    std::function<bool(const QString&)> previousOnline;
};
