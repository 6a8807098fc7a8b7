// The program: builds the application and runs its event loop.
#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tabel"));
    return QApplication::exec();
}
