#pragma once

#include "ui/kit/ViewController.h"

// Stands at the root of a tab whose own screen does not exist yet.
class PlaceholderViewController : public ViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlaceholderViewController)

public:
    explicit PlaceholderViewController(const QString &title, QWidget *parent = nullptr);
};
