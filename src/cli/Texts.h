#pragma once

#include <QCoreApplication>

// tr() of the context "Cli": the texts of tarnbus-cli are written in English,
// and translations/tarnbus_zh.ts holds their Chinese (tarnbus_en.ts the same
// English). Texts made when asked for, so that they follow --lang.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(Cli)
};
