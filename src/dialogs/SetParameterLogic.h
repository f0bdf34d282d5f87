#pragma once

#include "core/Settings.h"
#include "groupware/Records.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace zelmora {

// The checks and decisions of the settings dialog (frmSetParameter) that need no widget.

namespace setparameter {

inline const QString kTitle = QStringLiteral("設定");
inline const QString kPersonalTab = QStringLiteral("個人設定");
inline const QString kPersonalTabDisabled = QStringLiteral("個人設定(不可)");
inline const QString kCommonTab = QStringLiteral("共通設定");

inline const QString kServerReachable = QStringLiteral("サイボウズサーバーにアクセスできました.");
inline const QString kServerUnreachable = QStringLiteral("サイボウズサーバーにアクセスできません.");
inline const QString kAlarmNotNumeric = QStringLiteral("スケジュールの通知時間には数値を入力してください.");
inline const QString kAlarmRange = QStringLiteral("スケジュールの通知時間には0～59の値を入力してください.");
inline const QString kSoundNotGiven = QStringLiteral("通知に使用するサウンドファイルが指定されていません.");
inline const QString kSoundWrong = QStringLiteral("通知に使用するサウンドファイルの指定が正しくありません.");
inline const QString kGetIntervalNotNumeric = QStringLiteral("行先情報取得間隔には数値を入力してください.");
inline const QString kGetIntervalRange = QStringLiteral("行先情報取得間隔には1～59の値を入力してください.");
inline const QString kUpdateIntervalNotNumeric = QStringLiteral("行先登録更新間隔には数値を入力してください.");
inline const QString kUpdateIntervalRange = QStringLiteral("行先登録更新間隔には1～59の値を入力してください.");
inline const QString kAbsenseNotNumeric = QStringLiteral("不在判断時間には数値を入力してください.");
inline const QString kAbsenseRange = QStringLiteral("不在判断時間には5～60の値を入力してください.");
inline const QString kRestartNeeded = QStringLiteral("設定が変更されました. ゼルモラを再起動してください.");
inline const QString kNotWavFile = QStringLiteral("通知用サウンドには、WAVファイルを指定してください");
inline const QString kSoundFileMissing = QStringLiteral("指定されたサウンドファイルが見つかりません.");
// Not one of the dialog's checks: the settings were taken over but the file could not be rewritten.
inline const QString kSettingsNotWritten =
    QStringLiteral("設定ファイルの書き込みに失敗しました.\n設定は終了時に再度書き込まれます.");

} // namespace setparameter

// How much of the program a change of the common settings affects.
enum class RestartClass : qint16 {
    None = 0,   // takes effect at once
    Server = 1, // another server: the program restarts and forgets the last login
    Other = 2,  // connection settings the running program cannot switch: restart
};

// Compares the common settings as they were when the dialog opened with the edited ones. The base
// URLs are compared with their final "/", so "http://host/cbag" and "http://host/cbag/" are equal.
RestartClass ClassifyRestart(const ConnectionSettings& original, const ConnectionSettings& edited);

// The texts of the boxes that validation steps 2 to 6 look at.
struct ParameterTexts {
    bool notifySchedule = true;
    QString alarmTiming;
    bool useSound = false;
    QString soundFile;
    QString getInterval;
    QString updateInterval;
    QString absenseLevel;
};

// Outcome of steps 2 to 6: the first refusing message (empty when all passed), the warnings about
// the sound file shown on the way, and the numbers read.
struct ParameterCheck {
    QString error;
    QStringList warnings;
    std::optional<qint16> alarmMinutes; // absent while schedule notices are off and the box is no number
    qint16 getInterval = 0;
    qint16 updateInterval = 0;
    qint16 absenseLevel = 0;

    bool ok() const { return error.isEmpty(); }
};

// `fileExists` tells whether the sound file exists (a parameter so that tests need no files).
ParameterCheck CheckParameterTexts(const ParameterTexts& texts, const std::function<bool(const QString&)>& fileExists);

// Controls that follow one bit of the usable applications: enabled while the application is usable
// (or the check is off), otherwise disabled; the check boxes among them are also unticked.
struct UsableControlRow {
    ApplicationFlag bit;
    QStringList controls;   // object names
    QStringList checkBoxes; // those of the controls that are unticked
};
const QList<UsableControlRow>& UsableApplicationControls();

} // namespace zelmora
