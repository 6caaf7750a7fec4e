// trovlin [LOG]: the window; a log named on the command line is loaded at
// start as if it had been dropped on the window.
#include <QApplication>
#include <QFile>
#include <QTimer>

#include "app/main_window.h"
#include "app/qt_prompts.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Trovlin"));
  trovlin::app::InstallQtJapanese();
  trovlin::app::QtPrompts prompts;
  trovlin::app::MainWindow window(prompts);
  prompts.SetParent(&window);
  QObject::connect(&window, &trovlin::app::MainWindow::programEnded, &app, &QApplication::quit, Qt::QueuedConnection);
  window.show();

  const QStringList args = QApplication::arguments();
  if (args.size() > 1) {
    const std::string path = QFile::encodeName(args.at(1)).toStdString();
    QTimer::singleShot(0, &window, [&window, path] { window.LoadFile(path); });
  }
  return QApplication::exec();
}
