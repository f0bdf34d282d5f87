#pragma once

#include "ui/ResidentControl.h"

#include <QStringList>

namespace zelmora::test {

// Records what the status window asks of the resident controller.
class FakeResident : public ResidentControl {
public:
    void OnGetTimer() override { calls << QStringLiteral("OnGetTimer"); }
    void OffGetTimer() override { calls << QStringLiteral("OffGetTimer"); }
    void ClearGetTimer() override { calls << QStringLiteral("ClearGetTimer"); }
    void OnUpdateTimer() override {}
    void OffUpdateTimer() override {}
    void ClearUpdateTimer() override {}
    void GetTimerInterval(qint16) override {}
    void UpdateTimerInterval(qint16) override {}
    void OnMenu() override {}
    void OffMenu() override {}
    void UpdatePosition(bool forced) override { calls << QStringLiteral("UpdatePosition(%1)").arg(forced); }
    void GetData() override { calls << QStringLiteral("GetData"); }
    PeriodicTimerStates SuspendPeriodicTimers() override {
        calls << QStringLiteral("SuspendPeriodicTimers");
        timersEnabled = false;
        return {};
    }
    void RestorePeriodicTimers(const PeriodicTimerStates&) override {
        calls << QStringLiteral("RestorePeriodicTimers");
        timersEnabled = true;
    }
    void SetLinkItems(const QList<LinkItem>& items) override {
        links = items;
        ++linkRebuilds;
    }
    void SetPositionItems(const QStringList& items, const MemberRecord& own) override {
        places = items;
        ownRecord = own;
        ++positionRebuilds;
    }

    QStringList calls;
    bool timersEnabled = true;
    QList<LinkItem> links;
    QStringList places;
    MemberRecord ownRecord;
    int linkRebuilds = 0;
    int positionRebuilds = 0;
};

} // namespace zelmora::test
