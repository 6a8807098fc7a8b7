#include "journal/journal_window.h"

#include "catalog/operation_list.h"
#include "catalog/type_list.h"
#include "db/data_module.h"
#include "journal/record_history.h"
#include "reports/report_selection.h"
#include "session/session.h"
#include "session/version_guard.h"
#include "timesheet/timesheet_window.h"
#include "ui/appearance.h"
#include "ui/busy_cursor.h"
#include "ui/date_box.h"
#include "ui/db_grid.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tabel::app {
namespace {

const QColor green(0, 128, 0);
const QColor red(255, 0, 0);

// A control's own background colour (the theme's face colour when none) and a bold or normal
// caption. Only the background is the program's: every other colour follows the theme in
// force, also after the theme changes.
void paint(QWidget* w, const QColor& background, bool bold)
{
    QPalette p; // no role of its own: all of them follow the application's palette
    if (background.isValid())
        p.setColor(QPalette::Window, background);
    w->setPalette(p);
    w->setAutoFillBackground(background.isValid());
    ui::setBold(w, bold);
}

std::vector<ui::GridColumn> journalColumns()
{
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment center = Qt::AlignCenter;
    // field, title, width, alignment, visible, format, title-click sort. The widths are the
    // layout's, except where a date or a 12-digit requisition number would not fit the font:
    // "Заведен" and "№ ЗВП" are wider; "Марка изделия", "Вид" and "Цвет" give the room.
    return {
        { u"fio"_s, u"Фамилия И.О."_s, 250, left, true, {}, { u"fio"_s } },
        { u"marka"_s, u"Марка изделия"_s, 236, left, true, {}, { u"marka"_s } },
        { u"vid"_s, u"Операция"_s, 155, left, true, {}, { u"vid"_s } },
        { u"nmn"_s, u"Вид"_s, 147, left, true, {}, { u"naimen"_s } },
        { u"s_caption_color"_s, u"Цвет"_s, 170, center },
        { u"time"_s, u"Часы"_s, 44, right },
        { u"kol_vo"_s, u"Кол-во"_s, 57, right, true, {}, { u"kol_vo"_s } },
        { u"brak"_s, u"Брак"_s, 49, right },
        { u"summa"_s, u"Итого (р.)"_s, 78, right, true, {}, { u"summa"_s } },
        { u"prize"_s, u"Премия (%)"_s, -1, right, false },
        { u"ok"_s, u"OK"_s, 37, center, true, {}, { u"ok"_s } },
        { u"vvod"_s, u"Заведен"_s, 80, center, true, {}, { u"vvod"_s } },
        // the first click sorts descending, and name breaks the ties
        { u"id_doc"_s, u"№ ЗВП"_s, 106, right, true, {}, { u"id_doc"_s, u", fio ASC"_s, true } },
    };
}

} // namespace

TForm1::TForm1(ui::Prompter& prompter, db::TDataModule6& dataModule, const Session& session, ui::Appearance& appearance,
    VersionGuard& versionGuard)
    : ui::Form(prompter)
    , RadioButton1(new QRadioButton(u"Смена №1"_s, this))
    , RadioButton2(new QRadioButton(u"Смена №2"_s, this))
    , RadioButton3(new QRadioButton(u"Смена №3"_s, this))
    , RadioButton4(new QRadioButton(u"Переработка"_s, this))
    , DateT(new QDateEdit(this))
    , CBox1(new QCheckBox(u"Выходной"_s, this))
    , ComboBox1(new QComboBox(this))
    , DBGrid2(new ui::DBGrid(this))
    , Button1(new QPushButton(u"Добавить"_s, this))
    , Button2(new QPushButton(u"Изменить"_s, this))
    , Button3(new QPushButton(u"Удалить"_s, this))
    , Button5(new QPushButton(u"Принять"_s, this))
    , Button8(new QPushButton(u"Обновить"_s, this))
    , Button4(new QPushButton(u"Выход"_s, this))
    , MainMenu(new QMenuBar(this))
    , dm_(dataModule)
    , session_(session)
    , appearance_(appearance)
    , versionGuard_(versionGuard)
{
    setWindowTitle(u"Табель"_s);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowCloseButtonHint);
    setFixedSize(1455, 592);

    N2 = MainMenu->addMenu(u"Справочники"_s);
    N1 = N2->addAction(u"Рабочие"_s);
    N3 = N2->addAction(u"Изделия"_s);
    N6 = N2->addAction(u"Операции"_s);
    N4 = N2->addAction(u"Цены"_s);
    N8 = N2->addAction(u"Внеурочное"_s);
    N11 = MainMenu->addAction(u"Табель по времени"_s);
    N7 = MainMenu->addMenu(u"Отчеты"_s);
    N10 = N7->addAction(u"Сводные отчеты"_s);
    N5 = MainMenu->addAction(u"Выход"_s);
    N1->setEnabled(false);
    N3->setEnabled(false);

    RadioButton1->setChecked(true);
    paint(RadioButton1, green, true);
    for (QRadioButton* b : { RadioButton2, RadioButton3, RadioButton4 })
        paint(b, QColor(), false);
    ui::makeDateBox(DateT);
    DateT->setDate(QDate::currentDate());
    DateT->installEventFilter(this);
    paint(CBox1, QColor(), false);
    ComboBox1->setFocusPolicy(Qt::ClickFocus); // skipped by Tab
    ComboBox1->addItem(u"Onyx Blue"_s);
    ComboBox1->setMinimumWidth(180);

    DBGrid2->setColumns(journalColumns());
    DBGrid2->setDataSet(&dm_.Smena1);

    auto* top = new QHBoxLayout;
    for (QWidget* w :
        std::initializer_list<QWidget*> { RadioButton1, RadioButton2, RadioButton3, RadioButton4, DateT, CBox1 })
        top->addWidget(w);
    top->addStretch();
    top->addWidget(ComboBox1);
    auto* bottom = new QHBoxLayout;
    for (QPushButton* b : { Button1, Button2, Button3, Button5, Button8 })
        bottom->addWidget(b);
    bottom->addStretch();
    bottom->addWidget(Button4);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(MainMenu);
    layout->addLayout(top);
    layout->addWidget(DBGrid2, 1);
    layout->addLayout(bottom);

    NHistory = new QAction(u"История записи"_s, DBGrid2);
    DBGrid2->addAction(NHistory);
    DBGrid2->setContextMenuPolicy(Qt::ActionsContextMenu);
    history_ = new RecordHistory(prompter, dm_, this);

    Timer1.setInterval(30000);
    dateCommit.setInterval(700);
    dateCommit.setSingleShot(true);
    wire();
    Timer1.start(); // runs from the window's creation, before and during login
}

void TForm1::wire()
{
    on(RadioButton1, &QRadioButton::clicked, &TForm1::RadioButton1Click);
    on(RadioButton2, &QRadioButton::clicked, &TForm1::RadioButton2Click);
    on(RadioButton3, &QRadioButton::clicked, &TForm1::RadioButton3Click);
    on(RadioButton4, &QRadioButton::clicked, &TForm1::RadioButton4Click);
    on(CBox1, &QCheckBox::toggled, &TForm1::CBox1Click);
    // the calendar closing on a chosen day (by click or Enter)
    const auto chosen = [this](const QDate& day) {
        DateT->setDate(day);
        DateTChange();
    };
    on(DateT->calendarWidget(), &QCalendarWidget::clicked, chosen);
    on(DateT->calendarWidget(), &QCalendarWidget::activated, chosen);
    // a date typed or wheeled in is loaded once it is committed: when the picker loses the focus,
    // or a moment after the last change, so the grid never shows another date than the picker
    on(DateT, &QDateEdit::dateChanged, [this] { dateCommit.start(); });
    on(DateT, &QDateEdit::editingFinished, &TForm1::commitDate);
    on(&dateCommit, &QTimer::timeout, &TForm1::commitDate);
    on(Button8, &QPushButton::clicked, &TForm1::Button8Click);
    on(Button4, &QPushButton::clicked, &TForm1::Button4Click);
    on(N5, &QAction::triggered, &TForm1::N5Click);
    on(Button1, &QPushButton::clicked, &TForm1::Button1Click);
    on(Button2, &QPushButton::clicked, &TForm1::Button2Click);
    on(Button3, &QPushButton::clicked, &TForm1::Button3Click);
    on(Button5, &QPushButton::clicked, &TForm1::Button5Click);
    // Enter opens a record like a double click, but never accepts one: a pay decision takes the
    // double click or the button
    on(DBGrid2, &ui::DBGrid::rowActivated, [this] {
        if (!rights_.acceptOnly)
            DBGrid2DblClick();
    });
    on(DBGrid2, &ui::DBGrid::rowDoubleClicked, [this] {
        if (rights_.acceptOnly)
            DBGrid2DblClick();
    });
    on(N6, &QAction::triggered, &TForm1::N6Click);
    on(NHistory, &QAction::triggered, &TForm1::NHistoryClick);
    on(N4, &QAction::triggered, &TForm1::N4Click);
    on(N11, &QAction::triggered, &TForm1::N11Click);
    on(N10, &QAction::triggered, &TForm1::N10Click);
    on(DBGrid2, &ui::DBGrid::titleClicked, &TForm1::DBGrid2TitleClick);
    on(&Timer1, &QTimer::timeout, &TForm1::Timer1Timer);
    on(ComboBox1, &QComboBox::activated, &TForm1::ComboBox1Change);
    // the "ok" column: green for accepted marks, red for any other, bold
    DBGrid2->setCellHook([this](int row, int column, ui::CellStyle& style) {
        if (DBGrid2->gridModel().column(column).field != u"ok"_s)
            return;
        const QString ok = DBGrid2->gridModel().cellValue(row, column).toText();
        style.font.setBold(true);
        style.text = (ok == u"ok"_s || ok == u"да"_s) ? green : red;
    });
}

void TForm1::attachCatalogs(catalog::TForm8& types, catalog::TForm4& operations)
{
    types_ = &types;
    operations_ = &operations;
}

void TForm1::N6Click()
{
    if (!types_)
        return;
    dm_.Vid_oper.open();
    types_->enterEditMode();
    prompter().exec(*types_);
    dm_.Vid_oper.close();
}

void TForm1::NHistoryClick()
{
    db::Query& q = currentQuery();
    if (q.isEmpty() || q.field(u"id"_s).isNull())
        return;
    history_->showFor(q.field(u"id"_s).toId());
}

void TForm1::N4Click()
{
    if (!operations_)
        return;
    dm_.Oper.open();
    operations_->enterEditMode();
    prompter().exec(*operations_);
    dm_.Oper.close();
}

void TForm1::N11Click()
{
    if (timesheet_)
        timesheet_->showForMonthOf(DateT->date());
}

void TForm1::N10Click()
{
    if (reports_)
        reports_->showForPreviousMonth(QDate::currentDate()); // today's, not the journal's date
}

db::Query& TForm1::currentQuery() const
{
    return dm_.smenaQuery(currentShift_);
}

void TForm1::FormCreate()
{
    for (const QString& name : ui::Appearance::styleNames())
        if (ComboBox1->findText(name) < 0)
            ComboBox1->addItem(name);
    ComboBox1->model()->sort(0);
}

void TForm1::FormActivate()
{
    ComboBox1->setCurrentIndex(ComboBox1->findText(appearance_.current()));
    DateT->setDate(QDate::currentDate());
    if (DateT->date().dayOfWeek() >= 6)
        CBox1->setChecked(true);
    loadDate();
}

void TForm1::loadDate()
{
    dateCommit.stop();
    loadedDate_ = DateT->date();
    for (int shift = 1; shift <= 4; ++shift)
        dm_.smenaQuery(shift).close();
    for (int shift = 1; shift <= 4; ++shift) {
        db::Query& q = dm_.smenaQuery(shift);
        q.setParam(u"data"_s, loadedDate_);
        q.open();
    }
}

void TForm1::commitDate()
{
    dateCommit.stop();
    if (isVisible() && DateT->date() != loadedDate_)
        DateTChange();
}

void TForm1::DateTChange()
{
    const ui::BusyCursor busy;
    loadDate();
    CBox1->setChecked(DateT->date().dayOfWeek() >= 6);
    DBGrid2->setFocus();
}

void TForm1::DateTKeyPress(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        DateTChange();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DateT && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ui::runGuarded(prompter(), [this, key] { DateTKeyPress(key); });
            return true; // Enter in the date picker is not the dialog's default button
        }
    }
    return ui::Form::eventFilter(watched, event);
}

void TForm1::chooseShift(int shift, QRadioButton* button)
{
    if (!button->isChecked())
        return;
    DBGrid2->setDataSet(&dm_.smenaQuery(shift));
    for (QRadioButton* b : { RadioButton1, RadioButton2, RadioButton3, RadioButton4 })
        paint(b, b == button ? green : QColor(), b == button);
    currentShift_ = shift;
}

void TForm1::RadioButton1Click()
{
    chooseShift(1, RadioButton1);
}
void TForm1::RadioButton2Click()
{
    chooseShift(2, RadioButton2);
}
void TForm1::RadioButton3Click()
{
    chooseShift(3, RadioButton3);
}
void TForm1::RadioButton4Click()
{
    chooseShift(4, RadioButton4);
}

void TForm1::CBox1Click()
{
    paint(CBox1, CBox1->isChecked() ? red : QColor(), CBox1->isChecked());
}

void TForm1::Button8Click()
{
    const ui::BusyCursor busy;
    for (int shift = 1; shift <= 4; ++shift)
        dm_.smenaQuery(shift).close();
    for (int shift = 1; shift <= 4; ++shift)
        dm_.smenaQuery(shift).open();
}

void TForm1::Button4Click()
{
    done(QDialog::Rejected);
}
void TForm1::N5Click()
{
    done(QDialog::Rejected);
}

void TForm1::DBGrid2TitleClick(int column)
{
    const ui::TitleSort& sort = DBGrid2->gridModel().column(column).sort;
    if (sort.field.isEmpty())
        return;
    db::Query& q = currentQuery();
    q.setSort(sort.next(q.sort()));
}

void TForm1::Timer1Timer()
{
    versionGuard_.check();
}

void TForm1::ComboBox1Change()
{
    appearance_.choose(ComboBox1->currentText());
}

void TForm1::applyRights(const JournalRights& rights)
{
    rights_ = rights;
    for (QPushButton* b : { Button1, Button2, Button3 })
        b->setEnabled(rights.enter);
    Button5->setEnabled(rights.accept);
    N2->menuAction()->setEnabled(rights.menus);
    N11->setEnabled(rights.menus);
    N7->menuAction()->setEnabled(rights.menus);
    if (!rights.readOnly)
        return;
    for (QWidget* w : std::initializer_list<QWidget*> { Button1, Button2, Button3, RadioButton1, RadioButton2,
             RadioButton3, RadioButton4, CBox1, Button8, DBGrid2, DateT })
        w->setEnabled(false);
    N2->menuAction()->setEnabled(false);
    N11->setEnabled(false);
}

} // namespace tabel::app
