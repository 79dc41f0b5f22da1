#include "editor_bench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRandomGenerator>
#include <QUndoStack>

#include <algorithm>
#include <random>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_doubles.h"
#include "bench_figures.h"
#include "document/edit_history.h"
#include "editor/find_setting_dialog.h"
#include "model/factory_defaults.h"
#include "schema/setting_search.h"

namespace q51::bench {

namespace {

// What people type: every caption and key, every choice's words, bytes in
// both notations, and each caption with one letter dropped.
std::vector<std::string> queries()
{
    std::vector<std::string> all;
    for (const Setting &s : AllSettings()) {
        all.push_back(s.caption);
        all.push_back(s.key);
        std::string typo = s.caption;
        if (typo.size() > 5)
            typo.erase(typo.size() / 2, 1);
        all.push_back(typo);
        for (const Choice &c : s.field.choices)
            all.push_back(c.caption);
    }
    for (int byte = 0; byte < 256; byte += 7) {
        all.push_back("byte " + std::to_string(byte));
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02x", byte);
        all.emplace_back(hex);
    }
    std::shuffle(all.begin(), all.end(), std::mt19937(20261209));
    all.resize(std::min<std::size_t>(all.size(), 1000));
    return all;
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

bool EditorBench()
{
    BenchWindow bench;
    MainWindow &window = bench.window;
    ConfigDocument &document = bench.document;
    Configuration &config = bench.config;
    window.startUp();
    window.show();
    settle();

    const std::vector<std::string> typed = queries();
    std::printf("\n| editor, %zu queries | median ms | worst ms | goal ms | |\n|---|---|---|---|---|\n", typed.size());
    std::vector<double> engine, shown;
    // The index of every setting's words is built by the first query.
    const double indexing = millisecondsOf([] { (void)SearchSettings("x"); });
    for (const std::string &q : typed)
        engine.push_back(millisecondsOf([&] { (void)SearchSettings(q); }));
    bool met = printRow("Find Setting: matches of one query", figuresOf(engine), 5);
    met = printRow("Find Setting: the first query, building the index", {indexing, indexing}, 5) && met;
    FindSettingDialog &find = window.findSetting();
    find.present();
    settle();
    for (const std::string &q : typed)
        shown.push_back(millisecondsOf([&] { find.box()->setText(QString::fromStdString(q)); }));
    met = printRow("Find Setting: results listed in the dialog", figuresOf(shown), 5) && met;
    find.hide();

    // Undo of "Set All Defaults" with the largest page open: the block
    // back, every page control refreshed and painted.
    QRandomGenerator random(7);
    std::vector<double> undone;
    for (int run = 0; run < 20; ++run) {
        if (config.ActivePage != Page::None)
            window.TogglePage(config.ActivePage);
        document.change([&](Configuration &c) {
            for (auto &byte : c.block)
                byte = static_cast<std::uint8_t>(random.bounded(256));
        });
        document.change([](Configuration &c) { LoadFactoryDefaults(c); }, QStringLiteral("Set All Defaults"));
        window.TogglePage(Page::BarCodes);
        settle();
        QWidget *page = window.mdiArea()->activeSubWindow();
        undone.push_back(millisecondsOf([&] {
            window.history().stack().undo();
            page->repaint();
        }));
    }
    met = printRow("Undo Set All Defaults, Bar Codes page open, repainted", figuresOf(undone), 50) && met;
    return met;
}

} // namespace q51::bench
