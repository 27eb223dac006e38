// A second running copy of the program, as the file tests need one: it makes an
// untitled library the way the editor does, or opens a library as the main window does
// to study it, says "ready <path>" and then holds it until it is killed (which, with
// SIGKILL, is a crash: the lock file and the marker stay behind). Asked to probe, it
// only tells by its exit code whether a window of its own would have to ask before
// opening the library (3) or not (0).
//
//   lexomat_second_copy untitled FOLDER SEED CARDS
//   lexomat_second_copy study LIBRARY
//   lexomat_second_copy probe LIBRARY
#include "editor/UntitledLibrary.h"
#include "engine/Random.h"
#include "store/CardBatch.h"
#include "store/Tdm.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    Tdm module;
    std::unique_ptr<UntitledLibrary> untitled;
    try {
        if (arguments.value(1) == "untitled" && arguments.size() == 5) {
            LexomatRandom::Seed(arguments[3].toULongLong());
            untitled = UntitledLibrary::Make(arguments[2]);
            module.SetDatabasePath(untitled->Path());
            module.OpenDatabase();
            CardBatch batch(module.Connection());
            for (int i = 1; i <= arguments[4].toInt(); ++i)
                batch.Add(QString("word%1").arg(i), QString("definition of word%1").arg(i));
            batch.Commit();
        } else if (arguments.value(1) == "study" && arguments.size() == 3) {
            // As a learner who opens it although another copy has it open.
            module.SetDatabasePath(arguments[2]);
            module.OpenDatabase(
                *Tdm::ClaimLibrary(arguments[2], [](const QString &) { return true; }));
        } else if (arguments.value(1) == "probe" && arguments.size() == 3) {
            return Tdm::ClaimLibrary(arguments[2], nullptr) ? 0 : 3;
        } else {
            std::fputs("usage: lexomat_second_copy untitled FOLDER SEED CARDS | study LIBRARY | "
                       "probe LIBRARY\n",
                       stderr);
            return 2;
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("ready %s\n", qPrintable(module.DatabasePath()));
    std::fflush(stdout);
    return app.exec();
}
