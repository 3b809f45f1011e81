#include "ResultCodes.h"

namespace appcore {

namespace {

constexpr int kMatched = 254;
constexpr int kConfigured = 255;

QString code(const char *text)
{
    return QString::fromLatin1(text);
}

// Table 1 of the result messages: one slave's configuration.
QString slaveConfigCode(int err)
{
    switch (err) {
    case 0:
        return code("slave.offline");
    case 1:
        return code("slave.station_conflict");
    case 2:
        return code("slave.address_conflict");
    case 4:
        return code("slave.lamp_in_force_mode");
    case 49:
        return code("slave.input_conflict");
    case 50:
        return code("slave.output_conflict");
    case 64:
        return code("slave.write_failed");
    case kMatched:
        return code("slave.matched");
    case kConfigured:
        return code("slave.configured");
    default:
        return code("slave.failed");
    }
}

// Table 2: an address operation.
QString addressConfigCode(int err)
{
    switch (err) {
    case 0:
        return code("address.offline");
    case 1:
        return code("address.conflict");
    case 16:
        return code("address.input_conflict");
    case 32:
        return code("address.output_conflict");
    case 48:
        return code("address.input_out_of_range");
    case 49:
        return code("address.output_out_of_range");
    case 64:
        return code("address.bad_parameter");
    case kMatched:
        return code("address.matched");
    case kConfigured:
        return code("address.allocated");
    default:
        return slaveConfigCode(err); // the address table falls back on the slave's

    }
}

// Table 3: the batch download and the settings write.
QString batchConfigCode(int err)
{
    switch (err) {
    case 0:
        return code("download.started");
    case 1:
        return code("download.address_conflict");
    case 2:
        return code("download.done");
    case 3:
        return code("download.progress");
    case 4:
        return code("download.link_failed");
    case 16:
        return code("download.input_conflict");
    case 32:
        return code("download.output_conflict");
    case 64:
        return code("download.bad_parameter");
    case 240:
        return code("settings.writing");
    case 241:
        return code("download.in_force_mode");
    case 242:
        return code("settings.written");
    case 255:
        return code("download.station_done");
    default:
        return code("download.failed");
    }
}

QString transactionCode(int err, COMM_STATUS_TYPE status)
{
    const int result = status != COMM_OK ? int(status) : err;
    switch (result) {
    case COMM_OK:
        return QString();
    case COMM_NO_DATA:
        return code("transaction.adapter_restarting");
    case COMM_CRC_ERROR:
    case COMM_CHECK_ERROR:
    case COMM_TIMEOUT:
    case COMM_NOT_CONNECTED:
    case COMM_REFUSED:
        return QStringLiteral("transaction.") + linkFailureCode(COMM_STATUS_TYPE(result));
    default:
        return code("transaction.failed");
    }
}

QString forceStartCode(int err)
{
    if (err & 0x01)
        return code("force_on.controller_error");
    if (err & 0x02)
        return code("force_on.short_circuit");
    if (err & 0x04)
        return code("force_on.slave_fault");
    return code("force_on.address_conflict");
}

QString downloadRefusedCode(int why)
{
    switch (why) {
    case DownloadRefusal::NotLinked:
        return code("download.refused.not_linked");
    case DownloadRefusal::AddressConflict:
        return code("download.refused.address_conflict");
    default:
        return code("download.refused.busy");
    }
}

} // namespace

QString linkFailureCode(COMM_STATUS_TYPE status)
{
    switch (status) {
    case COMM_REFUSED:
        return code("refused");
    case COMM_TIMEOUT:
        return code("timeout");
    case COMM_CRC_ERROR:
        return code("checksum_error");
    case COMM_CHECK_ERROR:
        return code("wrong_reply");
    case COMM_NOT_CONNECTED:
        return code("link_lost");
    case COMM_REPLY_ERROR:
        return code("error_report");
    case COMM_BUSY:
        return code("busy");
    case COMM_NO_DATA:
        return code("no_data");
    default:
        return code("failed");
    }
}

QString operationCode(int operation)
{
    switch (operation) {
    case AdapterOperation::Store:
        return code("store");
    case AdapterOperation::SettingsWrite:
        return code("settings_write");
    case AdapterOperation::Lamp:
        return code("lamp");
    case AdapterOperation::ForceOn:
        return code("force_on");
    case AdapterOperation::ForceOff:
        return code("force_off");
    case AdapterOperation::StationChange:
        return code("station_change");
    case AdapterOperation::AddressChange:
        return code("address_change");
    case AdapterOperation::ParameterChange:
        return code("parameter_change");
    case AdapterOperation::Clear:
        return code("clear");
    case AdapterOperation::Download:
        return code("download");
    case AdapterOperation::Allocation:
        return code("allocation");
    case AdapterOperation::RepeatedStations:
        return code("repeated_stations");
    case AdapterOperation::SettingsRead:
        return code("settings_read");
    default:
        return code("operation");
    }
}

QString resultCode(adapter_message_type type, int err, int sid, COMM_STATUS_TYPE status)
{
    Q_UNUSED(sid) // the station is said beside the code, never in it
    const int unsignedErr = int(quint8(err));
    const int signedErr = int(qint8(err));
    switch (type) {
    case MSG_CONFIG_MODE_FAILED:
        return code("config_mode.failed");
    case MSG_FORCE_START_FAILED:
        return forceStartCode(unsignedErr);
    case MSG_EMPTY_CONFIG:
        return code("download.empty_configuration");
    case MSG_SLAVE_CONFIG_RESULT:
        return slaveConfigCode(unsignedErr);
    case MSG_ADDRESS_CONFIG_RESULT:
        return addressConfigCode(unsignedErr);
    case MSG_CONFIG_STORED:
        return code("store.done");
    case MSG_FORCE_ADDRESS_CONFLICT:
        return unsignedErr == 2 ? code("force_on.output_conflict") : code("force_on.input_conflict");
    case MSG_NO_HANDSHAKE:
        return code("link.no_handshake");
    case MSG_USB_STATE:
        return signedErr == -1 ? code("link.back") : code("link.lost");
    case MSG_NOT_LINKED:
        return signedErr == -2 ? QString() : code("link.not_linked");
    case MSG_TRANSACTION_FAILED:
        return transactionCode(signedErr, status);
    case MSG_NO_REPLY_DATA:
        return code("transaction.data_lost");
    case MSG_STATION_TOO_HIGH:
        return code("slave.station_too_high");
    case MSG_COMM_FAILED:
        return code("link.failed");
    case MSG_COMM_TIMEOUT:
        return code("link.timeout");
    case MSG_USB_CHECK:
        return unsignedErr == 0 ? code("usb.not_connected") : unsignedErr == 1 ? code("usb.type_mismatch") : code("usb.error");
    case MSG_BATCH_CONFIG:
        return batchConfigCode(unsignedErr);
    case MSG_DOWNLOAD_REFUSED:
        return downloadRefusedCode(unsignedErr);
    case MSG_OPERATION_FAILED:
        return operationCode(unsignedErr) + QLatin1Char('.') + linkFailureCode(status);
    case MSG_SETTINGS_UNKNOWN:
        return code("settings.unknown");
    default:
        return QString();
    }
}

QString openFailedCode()
{
    return code("usb.open_failed");
}

QString importLineCode(const CsvImportResult &result)
{
    if (result.ok)
        return code("import.line_applied");
    if (result.skipped)
        return code("import.line_skipped");
    return code("import.line_no_type");
}

QString downloadSkipCode(int reason)
{
    switch (reason) {
    case DownloadSkip::NotOnBus:
        return code("download.skipped.not_on_bus");
    case DownloadSkip::OtherType:
        return code("download.skipped.other_type");
    case DownloadSkip::Undescribed:
        return code("download.skipped.undescribed");
    default:
        return QStringLiteral("download.skipped.") + linkFailureCode(COMM_STATUS_TYPE(reason));
    }
}

} // namespace appcore
