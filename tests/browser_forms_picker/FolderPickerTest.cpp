#include "browser/forms/DirectoryList.h"
#include "browser/forms/FolderPath.h"
#include "browser/lists/ScriptedServices.h"

#include <QDir>
#include <QFileSystemModel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

class FolderPicker : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        root = temp.path();
        ASSERT_TRUE(QDir(root).mkpath("Users/Alice/Documents"));
        ASSERT_TRUE(QDir(root).mkpath("Users/bob"));
    }
    QString Path(const QString& relative) const { return QDir::cleanPath(root + "/" + relative); }

    QTemporaryDir temp;
    QString root;
};

TEST_F(FolderPicker, StartPathComponentsMatchWithoutRegardToCase) {
    EXPECT_EQ(browser::StartPathFolders(root, "users\\ALICE\\documents"),
              QStringList({Path("Users"), Path("Users/Alice"), Path("Users/Alice/Documents")}));
    // The walk ends at the first component without a folder.
    EXPECT_EQ(browser::StartPathFolders(root, "Users\\carol\\Documents"), QStringList{Path("Users")});
    EXPECT_TRUE(browser::StartPathFolders(root, "").isEmpty());
    EXPECT_TRUE(browser::StartPathFolders(root + "/missing", "Users").isEmpty());
}

TEST_F(FolderPicker, ThePathBelowTheRootIsJoinedByBackslashes) {
    EXPECT_EQ(browser::FolderPathBelowRoot(root, Path("Users/Alice/Documents")), "Users\\Alice\\Documents");
    EXPECT_EQ(browser::FolderPathBelowRoot(root, root), "");
    EXPECT_EQ(browser::FolderPathBelowRoot(Path("Users/bob"), Path("Users/Alice")), "");
}

TEST_F(FolderPicker, OkStoresTheChosenFolderAndNeedsASelection) {
    browser::ScriptedServices services;
    browser::TDirForm form(services);
    form.Root = root;
    form.StartPath = "USERS\\alice";
    services.queueDialog([&form](QDialog&) {
        form.stv->setCurrentIndex(QModelIndex());
        form.okButton->click(); // nothing selected: stays open
        EXPECT_TRUE(form.isVisible());
        form.ShowRootAndStartPath();
        EXPECT_EQ(form.folders->filePath(form.stv->currentIndex()),
                  QDir::cleanPath(form.Root + "/Users/Alice"));
        form.okButton->click();
    });
    EXPECT_EQ(services.showModal(form), browser::mrOk);
    EXPECT_EQ(form.Result, "Users\\Alice");
}

TEST_F(FolderPicker, TheNetworkRootOpensNoStartPath) {
    browser::ScriptedServices services;
    browser::TDirForm form(services);
    form.StartPath = "Users";
    form.ShowRootAndStartPath();
    EXPECT_EQ(form.folders->rootPath(), QDir::rootPath());
    EXPECT_FALSE(form.stv->currentIndex().isValid());
}

} // namespace
