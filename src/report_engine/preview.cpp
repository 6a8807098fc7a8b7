#include "report_engine/preview.h"

#include "ui/guard.h"
#include "ui/prompter.h"

#include <QAction>
#include <QGuiApplication>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>

using namespace Qt::StringLiterals;

namespace tabel::report {

void preview(ui::Prompter& prompter, const Definition& definition, const std::vector<Page>& pages, const QString& title,
    QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(
        QPageSize(definition.paper), definition.orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        QPainter painter(target);
        const double pixelsPerMm = target->width() / definition.pageSize().width();
        for (size_t i = 0; i < pages.size(); ++i) {
            if (i > 0)
                target->newPage();
            paint(pages[i], painter, pixelsPerMm);
        }
    });
    if (auto* bar = dialog.findChild<QToolBar*>()) {
        QAction* pdf = bar->addAction(u"Сохранить в PDF…"_s);
        QObject::connect(pdf, &QAction::triggered, &dialog, ui::guard(prompter, [&] {
            const QString path = prompter.saveFileName(u"Сохранить отчёт"_s, title + u".pdf"_s, u"PDF (*.pdf)"_s);
            if (!path.isEmpty() && !savePdf(definition, pages, path, title))
                prompter.message(u"Не удалось записать файл "_s + path, u"Ошибка"_s, ui::ErrorOk);
        }));
    }
    if (auto* view = dialog.findChild<QPrintPreviewWidget*>()) {
        if (definition.previewWholePage)
            view->fitInView();
        else
            view->fitToWidth();
    }
    for (QAction* action : dialog.findChildren<QAction*>()) {
        const QString name = action->objectName();
        // Pages are laid out for the report's own paper: another paper or orientation would
        // show and print them mis-scaled, so those choices are not offered.
        if (name == u"portraitAction"_s || name == u"landscapeAction"_s || name == u"pageSetupAction"_s) {
            action->setVisible(false);
            action->setEnabled(false);
        }
        // the fit button shown pressed is the fit in force
        if (name == u"fitPageAction"_s)
            action->setChecked(definition.previewWholePage);
        if (name == u"fitWidthAction"_s)
            action->setChecked(!definition.previewWholePage);
    }
    // Fill the screen even where no window manager honours the maximised state.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        dialog.setGeometry(screen->availableGeometry());
    dialog.setWindowState(Qt::WindowMaximized);
    prompter.exec(dialog);
}

} // namespace tabel::report
