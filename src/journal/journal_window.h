#pragma once
// TForm1: the journal, the program's working window. It lists the production records of one date
// and shift (the data module's Smena1 … Smena4), switches date and shift, sorts by column titles,
// marks acceptance in colour and leads to the actions and the other windows.
#include "session/roles.h"
#include "ui/form.h"

#include <QDate>
#include <QTimer>

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;

namespace tabel::db {
class Query;
class TDataModule6;
} // namespace tabel::db
namespace tabel::ui {
class Appearance;
class DBGrid;
} // namespace tabel::ui
namespace tabel::catalog {
class TForm4;
class TForm8;
} // namespace tabel::catalog
namespace tabel::entry {
class TForm11;
}
namespace tabel::timesheet {
class TForm19;
}
namespace tabel::reports {
class TForm18;
}

namespace tabel::app {

struct Session;
class VersionGuard;

class RecordHistory;

class TForm1 : public ui::Form {
    Q_OBJECT
public:
    TForm1(ui::Prompter& prompter, db::TDataModule6& dataModule, const Session& session, ui::Appearance& appearance,
        VersionGuard& versionGuard);

    // The journal's current shift number (1 … 4) and the date its queries were loaded for.
    int currentShift() const { return currentShift_; }
    void setCurrentShift(int shift) { currentShift_ = shift; }
    QDate loadedDate() const { return loadedDate_; }

    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QRadioButton* RadioButton4;
    QDateEdit* DateT;
    QCheckBox* CBox1;
    QComboBox* ComboBox1;
    ui::DBGrid* DBGrid2;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button5;
    QPushButton* Button8;
    QPushButton* Button4;
    QMenuBar* MainMenu;
    QMenu* N2;
    QAction* N1;
    QAction* N3;
    QAction* N6;
    QAction* N4;
    QAction* N8;
    QAction* N11;
    QMenu* N7;
    QAction* N10;
    QAction* N5;
    // the grid's context menu: the record's history, read-only
    QAction* NHistory;
    QTimer Timer1;
    // Commits a date typed or wheeled into DateT a moment after the last change.
    QTimer dateCommit;

    // The query behind the grid: the current shift's.
    db::Query& currentQuery() const;

    void FormCreate();
    void FormActivate() override;
    void DateTChange();
    void DateTKeyPress(int key);
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void CBox1Click();
    void Button8Click();
    void Button4Click();
    void N5Click();
    void DBGrid2TitleClick(int column);
    void Timer1Timer();
    void ComboBox1Change();

    // The windows the journal opens, created after it.
    void attachCatalogs(catalog::TForm8& types, catalog::TForm4& operations);
    void attachEditor(entry::TForm11& editor) { editor_ = &editor; }
    void attachTimesheet(timesheet::TForm19& timesheet) { timesheet_ = &timesheet; }
    void N11Click();
    void attachReports(reports::TForm18& reports) { reports_ = &reports; }
    void N10Click();

    // The record actions.
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button5Click();
    void DBGrid2DblClick();
    void N6Click();
    void NHistoryClick();
    void N4Click();

    // Login's gating of buttons and menus.
    void applyRights(const JournalRights& rights);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadDate();
    // Closes and opens the current query with its sort text set again (the first row current).
    void reread();
    void commitDate();
    void chooseShift(int shift, QRadioButton* button);
    void wire();

    db::TDataModule6& dm_;
    const Session& session_;
    ui::Appearance& appearance_;
    VersionGuard& versionGuard_;
    int currentShift_ = 1;
    QDate loadedDate_;
    JournalRights rights_;
    entry::TForm11* editor_ = nullptr;
    RecordHistory* history_;
    timesheet::TForm19* timesheet_ = nullptr;
    reports::TForm18* reports_ = nullptr;
    catalog::TForm8* types_ = nullptr;
    catalog::TForm4* operations_ = nullptr;
};

} // namespace tabel::app
