#include "journal/journal_window.h"

#include "app/forms.h"
#include "app/login_window.h"
#include "db/data_module.h"
#include "ui/appearance.h"
#include "ui/busy_cursor.h"
#include "ui/db_grid.h"
#include "ui/guard.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tabel::app {
namespace {

const QColor green(0, 128, 0);
const QColor red(255, 0, 0);

void paint(QWidget* w, const QColor& background, bool bold)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, background.isValid() ? background : QApplication::palette().color(QPalette::Button));
    w->setPalette(p);
    w->setAutoFillBackground(true);
    QFont f = w->font();
    f.setBold(bold);
    w->setFont(f);
}

std::vector<ui::GridColumn> journalColumns()
{
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment center = Qt::AlignCenter;
    return {
        {u"fio"_s, u"Фамилия И.О."_s, 250, left},
        {u"marka"_s, u"Марка изделия"_s, 260, left},
        {u"vid"_s, u"Операция"_s, 155, left},
        {u"nmn"_s, u"Вид"_s, 157, left},
        {u"s_caption_color"_s, u"Цвет"_s, 176, center},
        {u"time"_s, u"Часы"_s, -1, left},
        {u"kol_vo"_s, u"Кол-во"_s, 57, left},
        {u"brak"_s, u"Брак"_s, 49, left},
        {u"summa"_s, u"Итого (р.)"_s, 78, left},
        {u"prize"_s, u"Премия (%)"_s, -1, left, false},
        {u"ok"_s, u"OK"_s, 37, center},
        {u"vvod"_s, u"Заведен"_s, 72, center},
        {u"id_doc"_s, u"№ ЗВП"_s, 65, left},
    };
}

} // namespace

TForm1::TForm1(Forms& forms)
    : RadioButton1(new QRadioButton(u"Смена №1"_s, this)), RadioButton2(new QRadioButton(u"Смена №2"_s, this)),
      RadioButton3(new QRadioButton(u"Смена №3"_s, this)), RadioButton4(new QRadioButton(u"Переработка"_s, this)),
      DateT(new QDateEdit(this)), CBox1(new QCheckBox(u"Выходной"_s, this)), ComboBox1(new QComboBox(this)),
      DBGrid2(new ui::DBGrid(this)), Button1(new QPushButton(u"Добавить"_s, this)),
      Button2(new QPushButton(u"Изменить"_s, this)), Button3(new QPushButton(u"Удалить"_s, this)),
      Button5(new QPushButton(u"Принять"_s, this)), Button8(new QPushButton(u"Обновить"_s, this)),
      Button4(new QPushButton(u"Выход"_s, this)), MainMenu(new QMenuBar(this)), forms_(forms)
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
    for (QRadioButton* b : {RadioButton2, RadioButton3, RadioButton4})
        paint(b, QColor(), false);
    DateT->setCalendarPopup(true);
    DateT->setDisplayFormat(u"dd.MM.yyyy"_s);
    DateT->setDate(QDate::currentDate());
    DateT->installEventFilter(this);
    paint(CBox1, QColor(), false);
    ComboBox1->setFocusPolicy(Qt::ClickFocus); // skipped by Tab
    ComboBox1->addItem(u"Onyx Blue"_s);
    ComboBox1->setMinimumWidth(180);

    DBGrid2->setColumns(journalColumns());

    auto* top = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{RadioButton1, RadioButton2, RadioButton3, RadioButton4, DateT, CBox1})
        top->addWidget(w);
    top->addStretch();
    top->addWidget(ComboBox1);
    auto* bottom = new QHBoxLayout;
    for (QPushButton* b : {Button1, Button2, Button3, Button5, Button8})
        bottom->addWidget(b);
    bottom->addStretch();
    bottom->addWidget(Button4);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(MainMenu);
    layout->addLayout(top);
    layout->addWidget(DBGrid2, 1);
    layout->addLayout(bottom);

    Timer1.setInterval(30000);
    wire();
    Timer1.start(); // runs from the window's creation, before and during login
}

void TForm1::wire()
{
    ui::Prompter& p = forms_.prompter();
    connect(RadioButton1, &QRadioButton::clicked, this, ui::guard(p, [this] { RadioButton1Click(); }));
    connect(RadioButton2, &QRadioButton::clicked, this, ui::guard(p, [this] { RadioButton2Click(); }));
    connect(RadioButton3, &QRadioButton::clicked, this, ui::guard(p, [this] { RadioButton3Click(); }));
    connect(RadioButton4, &QRadioButton::clicked, this, ui::guard(p, [this] { RadioButton4Click(); }));
    connect(CBox1, &QCheckBox::toggled, this, ui::guard(p, [this] { CBox1Click(); }));
    // the calendar closing on a chosen day (by click or Enter)
    const auto chosen = ui::guard(p, [this](const QDate& day) {
        DateT->setDate(day);
        DateTChange();
    });
    connect(DateT->calendarWidget(), &QCalendarWidget::clicked, this, chosen);
    connect(DateT->calendarWidget(), &QCalendarWidget::activated, this, chosen);
    connect(Button8, &QPushButton::clicked, this, ui::guard(p, [this] { Button8Click(); }));
    connect(Button4, &QPushButton::clicked, this, ui::guard(p, [this] { Button4Click(); }));
    connect(N5, &QAction::triggered, this, ui::guard(p, [this] { N5Click(); }));
    connect(DBGrid2, &ui::DBGrid::titleClicked, this, ui::guard(p, [this](int column) { DBGrid2TitleClick(column); }));
    connect(&Timer1, &QTimer::timeout, this, ui::guard(p, [this] { Timer1Timer(); }));
    connect(ComboBox1, &QComboBox::activated, this, ui::guard(p, [this] { ComboBox1Change(); }));
    // the "ok" column: green for accepted marks, red for any other, bold
    DBGrid2->setCellHook([this](int row, int column, ui::CellStyle& style) {
        if (DBGrid2->gridModel().column(column).field != u"ok"_s)
            return;
        const QString ok = DBGrid2->gridModel().cellValue(row, column).toText();
        style.font.setBold(true);
        style.text = (ok == u"ok"_s || ok == u"да"_s) ? green : red;
    });
}

db::Query& TForm1::currentQuery() const { return forms_.dataModule().smenaQuery(currentShift); }

void TForm1::FormCreate()
{
    for (const QString& name : ui::Appearance::styleNames())
        if (ComboBox1->findText(name) < 0)
            ComboBox1->addItem(name);
    ComboBox1->model()->sort(0);
    forms_.createDataModule();
    DBGrid2->setDataSet(&forms_.dataModule().Smena1);
    forms_.createLogin();
}

void TForm1::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    ui::runGuarded(forms_.prompter(), [this] { FormActivate(); });
}

void TForm1::FormActivate()
{
    ComboBox1->setCurrentIndex(ComboBox1->findText(forms_.appearance().current()));
    DateT->setDate(QDate::currentDate());
    if (DateT->date().dayOfWeek() >= 6)
        CBox1->setChecked(true);
    loadDate();
}

void TForm1::loadDate()
{
    db::TDataModule6& dm = forms_.dataModule();
    for (int shift = 1; shift <= 4; ++shift)
        dm.smenaQuery(shift).close();
    for (int shift = 1; shift <= 4; ++shift) {
        db::Query& q = dm.smenaQuery(shift);
        q.setParam(u"data"_s, DateT->date());
        q.open();
    }
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
            ui::runGuarded(forms_.prompter(), [this, key] { DateTKeyPress(key); });
            return true; // Enter in the date picker is not the dialog's default button
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm1::chooseShift(int shift, QRadioButton* button)
{
    if (!button->isChecked())
        return;
    DBGrid2->setDataSet(&forms_.dataModule().smenaQuery(shift));
    for (QRadioButton* b : {RadioButton1, RadioButton2, RadioButton3, RadioButton4})
        paint(b, b == button ? green : QColor(), b == button);
    currentShift = shift;
}

void TForm1::RadioButton1Click() { chooseShift(1, RadioButton1); }
void TForm1::RadioButton2Click() { chooseShift(2, RadioButton2); }
void TForm1::RadioButton3Click() { chooseShift(3, RadioButton3); }
void TForm1::RadioButton4Click() { chooseShift(4, RadioButton4); }

void TForm1::CBox1Click() { paint(CBox1, CBox1->isChecked() ? red : QColor(), CBox1->isChecked()); }

void TForm1::Button8Click()
{
    const ui::BusyCursor busy;
    db::TDataModule6& dm = forms_.dataModule();
    for (int shift = 1; shift <= 4; ++shift)
        dm.smenaQuery(shift).close();
    for (int shift = 1; shift <= 4; ++shift)
        dm.smenaQuery(shift).open();
}

void TForm1::Button4Click() { done(QDialog::Rejected); }
void TForm1::N5Click() { done(QDialog::Rejected); }

void TForm1::DBGrid2TitleClick(int column)
{
    db::Query& q = currentQuery();
    const QString sort = q.sort();
    const bool asc = sort.contains(u"ASC"_s);
    QString field;
    switch (column) {
    case 0: field = u"fio"_s; break;
    case 1: field = u"marka"_s; break;
    case 2: field = u"vid"_s; break;
    case 3: field = u"naimen"_s; break;
    case 6: field = u"kol_vo"_s; break;
    case 8: field = u"summa"_s; break;
    case 10: field = u"ok"_s; break;
    case 11: field = u"vvod"_s; break;
    case 12:
        q.setSort(sort.contains(u"DESC"_s) ? u"id_doc ASC, fio ASC"_s : u"id_doc DESC, fio ASC"_s);
        return;
    default:
        return;
    }
    q.setSort(field + (asc ? u" DESC"_s : u" ASC"_s));
}

void TForm1::Timer1Timer() { forms_.login().versionCheck(); }

void TForm1::ComboBox1Change() { forms_.appearance().choose(ComboBox1->currentText()); }

void TForm1::applyRights(const JournalRights& rights)
{
    for (QPushButton* b : {Button1, Button2, Button3})
        b->setEnabled(rights.enter);
    Button5->setEnabled(rights.accept);
    N2->menuAction()->setEnabled(rights.menus);
    N11->setEnabled(rights.menus);
    N7->menuAction()->setEnabled(rights.menus);
    if (!rights.readOnly)
        return;
    for (QWidget* w : std::initializer_list<QWidget*>{Button1, Button2, Button3, RadioButton1, RadioButton2, RadioButton3,
                                                      RadioButton4, CBox1, Button8, DBGrid2, DateT})
        w->setEnabled(false);
    N2->menuAction()->setEnabled(false);
    N11->setEnabled(false);
}

} // namespace tabel::app
