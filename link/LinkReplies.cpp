// What an accepted reply does, by the rule it matched.
#include "core/Dialogs.h"
#include "core/Timers.h"
#include "link/Link.h"

#include <QTimer>

namespace {
QString TextBetweenLetterAndChecksum(const QByteArray &reply) {
    return QString::fromLatin1(reply.mid(1, reply.size() - 2));
}

int UnsignedWordAt(const QByteArray &bytes, int offset) {
    return (int(std::uint8_t(bytes[offset])) << 8) | int(std::uint8_t(bytes[offset + 1]));
}
} // namespace

bool Link::ApplyReply(const ReplyRule &rule) {
    const QByteArray reply = RxBuffer;
    // Bytes 1-2 of the access and password replies.
    const QByteArray answer = reply.mid(1, 2);
    const bool ok = answer == "OK";
    const bool no = answer == "NO";
    if ((rule.action == ReplyAction::AccessStore || rule.action == ReplyAction::Password ||
         rule.action == ReplyAction::NewPassword) &&
        !ok && !no)
        return false;

    // Every accepted reply ends the failure streak and starts a fresh buffer: leftovers of an
    // acknowledgement must not be taken for a second one.
    CommErrors = 0;
    RxCount = 0;
    RxBuffer.clear();

    switch (rule.action) {
    case ReplyAction::Version:
        hooks_->onVersionReply(TextBetweenLetterAndChecksum(reply));
        RequestSerialNumber();
        break;
    case ReplyAction::SerialNumber:
        hooks_->onSerialReply(TextBetweenLetterAndChecksum(reply));
        break;
    case ReplyAction::AccessBits:
        hooks_->onAccessBitsReply(UnsignedWordAt(reply, 1));
        break;
    case ReplyAction::AccessStore:
        if (ok) {
            RxIgnore = false;
            hooks_->onAccessStored();
        } else {
            DisableTimer(Timer1);
            if (dialogs_)
                dialogs_->warning(QStringLiteral("Changing Settings is not possible !!!"));
            hooks_->onAccessRefused();
        }
        break;
    case ReplyAction::Password:
        if (ok) {
            hooks_->onPasswordAccepted();
        } else {
            DisableTimer(Timer1);
            if (dialogs_)
                dialogs_->warning(QStringLiteral("Password is not correct !!!\r\r\nPlease try again"));
            hooks_->onPasswordRefused();
        }
        break;
    case ReplyAction::NewPassword:
        if (ok) {
            hooks_->onNewPasswordStored();
        } else {
            if (dialogs_)
                dialogs_->warning(
                    QStringLiteral("Password is transmitted not correctly !!!\r\r\nPlease try again"));
            hooks_->onNewPasswordRefused();
        }
        break;
    case ReplyAction::LiveData:
        RestartTimer(Timer1);
        hooks_->onLiveData(reply);
        break;
    case ReplyAction::CalibrationMin:
    case ReplyAction::CalibrationMax: {
        StopLink();
        const int reading = UnsignedWordAt(reply, hooks_->calSensor() == 2 ? 27 : 7);
        if (rule.action == ReplyAction::CalibrationMin) {
            CalMin = reading;
        } else {
            CalMax = reading;
            ApplyCalibrationRange();
        }
        break;
    }
    case ReplyAction::WriteAck:
    case ReplyAction::BlockWriteAck:
        hooks_->setStepReady();
        break;
    case ReplyAction::SingleWriteAck:
        hooks_->setStepReady();
        ArmDelayedAction(3);
        break;
    case ReplyAction::Image: {
        DisableTimer(Timer2);
        QVector<std::uint16_t> words(ReadCount);
        for (int w = 0; w < ReadCount; ++w)
            words[w] = std::uint16_t(UnsignedWordAt(reply, 1 + 2 * w));
        hooks_->onImageRead(ReadStart, words);
        break;
    }
    case ReplyAction::Lock:
        hooks_->showLockState(false);
        hooks_->onLocked();
        EnableTimer(Timer1);
        break;
    case ReplyAction::Restart:
        hooks_->onRestartReply();
        RequestLiveData();
        break;
    case ReplyAction::VersionBeforeWrite:
        hooks_->onVersionBeforeWrite(TextBetweenLetterAndChecksum(reply));
        break;
    }
    return true;
}

void Link::ApplyCalibrationRange() {
    const int sensor = hooks_->calSensor() == 2 ? 2 : 1;
    const QString n = QString::number(sensor);
    const int d = CalMax - CalMin;
    QString warning;
    if (d > 100)
        hooks_->onCalibrationAccepted(sensor, CalMin, CalMax);
    else if (d > -5 && d < 5)
        warning =
            QStringLiteral("The Engine load ") + n +
            QStringLiteral(" sensor is not connected !!\r\r\nCheck the wiring and try Automatic cal. again");
    else if (d > 5 && d < 100)
        warning = QStringLiteral(
                      "Range between minimal and maximal value is to small !!\r\r\nCheck the Engine load ") +
                  n + QStringLiteral(" sensor and try Automatic cal. again");
    else
        warning = QStringLiteral("The wiring from the Engine load ") + n +
                  QStringLiteral(" sensor is reversed !!\r\r\nCheck the wiring and try Automatic cal. again");
    if (!warning.isEmpty() && dialogs_)
        dialogs_->warning(warning);
    hooks_->hideCalibrationPrompt();
}
