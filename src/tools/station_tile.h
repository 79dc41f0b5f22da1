#pragma once
// One port of the production station, readable from across the room: the
// port's name, its state as one large word (PASS, FAIL, ...), a line that
// says what is happening or what went wrong, the unit's version and the
// step's progress. The words carry the state; colour only repeats it. The
// tile's accessible name and description say the same for screen readers.

#include <QFrame>

#include "link/station_engine.h"

class QLabel;
class QProgressBar;

namespace q51 {

class StationTile final : public QFrame {
    Q_OBJECT
public:
    explicit StationTile(QWidget *parent = nullptr);

    // A port chosen, the station not started on it yet.
    void showReady(const StationPortTarget &target);
    void showStatus(const StationPortStatus &status);

    [[nodiscard]] QLabel *stateLabel() const { return state_; }

    // The large word's size against the application font.
    static constexpr double StateScale = 3.0;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void setWord(const QString &word, const QColor &colour);
    void setLine(QLabel *label, const QString &text);
    void fitLines();

    QLabel *port_ = nullptr;
    QLabel *state_ = nullptr;
    QLabel *detail_ = nullptr;
    QLabel *version_ = nullptr;
    QProgressBar *progress_ = nullptr;
};

} // namespace q51
