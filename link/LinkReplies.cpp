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
    const QByteArray reply = s_.RxBuffer;
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
    s_.CommErrors = 0;
    s_.RxCount = 0;
    s_.RxBuffer.clear();

    switch (rule.action) {
    case ReplyAction::Version:
        emit versionReceived(TextBetweenLetterAndChecksum(reply));
        RequestSerialNumber();
        break;
    case ReplyAction::SerialNumber:
        emit serialNumberReceived(TextBetweenLetterAndChecksum(reply));
        break;
    case ReplyAction::AccessBits:
        emit accessBitsReceived(UnsignedWordAt(reply, 1));
        break;
    case ReplyAction::AccessStore:
        End(LineActivity::Access);
        if (ok) {
            s_.RxIgnore = false;
            emit accessStored();
        } else {
            DisableTimer(Timer1);
            if (dialogs_)
                dialogs_->warning(QStringLiteral("Changing Settings is not possible !!!"));
            emit accessRefused();
        }
        break;
    case ReplyAction::Password:
        End(LineActivity::Access);
        if (ok) {
            emit passwordAccepted();
        } else {
            DisableTimer(Timer1);
            if (dialogs_)
                dialogs_->warning(QStringLiteral("Password is not correct !!!\r\r\nPlease try again"));
            emit passwordRefused();
        }
        break;
    case ReplyAction::NewPassword:
        End(LineActivity::Access);
        if (ok) {
            emit newPasswordStored();
        } else {
            if (dialogs_)
                dialogs_->warning(
                    QStringLiteral("Password is transmitted not correctly !!!\r\r\nPlease try again"));
            emit newPasswordRefused();
        }
        break;
    case ReplyAction::LiveData:
        RestartTimer(Timer1);
        emit liveFrameReceived(reply);
        break;
    case ReplyAction::CalibrationMin:
    case ReplyAction::CalibrationMax: {
        StopLink();
        const int sensor = environment_ ? environment_->calSensor() : 1;
        const int reading = UnsignedWordAt(reply, sensor == 2 ? 27 : 7);
        if (rule.action == ReplyAction::CalibrationMin) {
            s_.CalMin = reading;
        } else {
            s_.CalMax = reading;
            End(LineActivity::Calibration);
            ApplyCalibrationRange();
        }
        break;
    }
    case ReplyAction::WriteAck:
    case ReplyAction::BlockWriteAck:
        MarkStepReady();
        break;
    case ReplyAction::SingleWriteAck:
        MarkStepReady();
        ArmDelayedAction(DelayedAction::Poll);
        // A request that waited for this trim goes now; it arms its own delayed action.
        End(activity_ == LineActivity::Trim ? LineActivity::Trim : LineActivity::SingleWrite);
        break;
    case ReplyAction::Image: {
        DisableTimer(Timer2);
        QVector<std::uint16_t> words(s_.ReadCount);
        for (int w = 0; w < s_.ReadCount; ++w)
            words[w] = std::uint16_t(UnsignedWordAt(reply, 1 + 2 * w));
        End(LineActivity::Reading);
        emit imageRead(s_.ReadStart, words);
        break;
    }
    case ReplyAction::Lock:
        emit lockDisplayChanged(false);
        emit lockAccepted();
        EnableTimer(Timer1);
        End(LineActivity::Lock);
        break;
    case ReplyAction::Restart:
        emit restartAccepted();
        End(LineActivity::Writing);
        RequestLiveData();
        break;
    case ReplyAction::VersionBeforeWrite:
        emit versionBeforeWrite(TextBetweenLetterAndChecksum(reply));
        break;
    }
    return true;
}

void Link::ApplyCalibrationRange() {
    const int sensor = environment_ && environment_->calSensor() == 2 ? 2 : 1;
    const QString n = QString::number(sensor);
    const int d = s_.CalMax - s_.CalMin;
    QString warning;
    if (d > 100)
        emit calibrationAccepted(sensor, s_.CalMin, s_.CalMax);
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
    emit calibrationEvaluated();
}
