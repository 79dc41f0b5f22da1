#pragma once
// A child window whose controls are not built yet: it carries the real
// name and caption, so the main window's switching rules work with it.

#include <QWidget>

namespace q51 {

struct ChildWindowInfo;

class PendingPage : public QWidget {
    Q_OBJECT
public:
    explicit PendingPage(const ChildWindowInfo &info, QWidget *parent = nullptr);
};

} // namespace q51
