#include "profile/profile_file.h"

#include "platform/paths.h"
#include "profile/data_stream.h"

#include <QFile>
#include <QSaveFile>

#include <cstring>

namespace {

constexpr uint8_t kMagic[4] = {0x11, 0x64, 0x34, 0x01};

void writeRecord(DataStream &s, const ProfileRecord &r)
{
    s.putBytes(kMagic, 4);
    s.putString(r.name);
    s.putInt32(r.enabled);
    s.putInt16(static_cast<int16_t>(r.marker));
    s.putInt16(static_cast<int16_t>(r.pollingCode));
    s.putInt16(r.doubleClickSpeed);
    s.putInt16(r.scrollLines);
    s.putInt32(r.scrollByLines);
    s.putInt32(r.scrollByPage);
    s.putInt32(r.enhancePrecision);
    s.putInt32(r.dpiStageFlag);
    s.putInt32(r.reservedA);
    s.putUInt8(r.dpiStageCount);
    s.putUInt8(r.dpiStageCurrent);
    for (const DpiStage &st : r.dpiStage) {
        s.putInt16(st.x);
        s.putInt16(st.y);
    }
    s.putUInt8(r.pointerSpeed);
    s.putInt32(r.rippleOff);
    s.putInt32(r.angleSnapOff);
    s.putInt32(r.liftOffDistance);
    s.putInt16(r.surfaceQuality);
    s.putNumberText(static_cast<int32_t>(r.zoneColour[0]));
    s.putNumberText(static_cast<int32_t>(r.zoneColour[1]));
    s.putInt32(r.brightnessLevel);
    s.putNumberText(static_cast<int32_t>(r.zoneColour[2]));
    s.putNumberText(static_cast<int32_t>(r.zoneColour[3]));
    s.putInt32(r.lightingMode);
    s.putInt32(r.lightingEffect);
    s.putInt32(r.reservedB);
    s.putInt32(r.reservedC);
    s.putUInt8(r.reservedD);
    s.putNumberText(static_cast<int32_t>(r.pickerColour));
    for (const ButtonAssignment &b : r.buttons) {
        s.putUInt8(b.buttonIndex);
        s.putUInt8(b.function);
        s.putInt16(b.param);
    }
    for (const ButtonMacro &m : r.buttonMacros) {
        s.putInt32(m.macroId);
        s.putString(m.name);
        s.putInt32(static_cast<int32_t>(m.events.size()));
        for (const CMacroEvent &e : m.events) {
            s.putUInt8(e.kind);
            s.putInt16(static_cast<int16_t>(e.code));
            s.putUInt8(e.upFlag);
            s.putInt32(e.delay);
        }
    }
}

// Reads into r; the caller discards r when the stream failed.
void readRecord(DataStream &s, ProfileRecord &r)
{
    r.name = s.getString();
    r.enabled = s.getInt32();
    r.marker = static_cast<uint16_t>(s.getInt16());
    r.pollingCode = static_cast<uint16_t>(s.getInt16());
    r.doubleClickSpeed = s.getInt16();
    r.scrollLines = s.getInt16();
    r.scrollByLines = s.getInt32();
    r.scrollByPage = s.getInt32();
    r.enhancePrecision = s.getInt32();
    r.dpiStageFlag = s.getInt32();
    r.reservedA = s.getInt32();
    r.dpiStageCount = s.getUInt8();
    r.dpiStageCurrent = s.getUInt8();
    for (DpiStage &st : r.dpiStage) {
        st.x = s.getInt16();
        st.y = s.getInt16();
    }
    r.pointerSpeed = s.getUInt8();
    r.rippleOff = s.getInt32();
    r.angleSnapOff = s.getInt32();
    r.liftOffDistance = s.getInt32();
    r.surfaceQuality = s.getInt16();
    r.zoneColour[0] = static_cast<uint32_t>(s.getNumberText());
    r.zoneColour[1] = static_cast<uint32_t>(s.getNumberText());
    r.brightnessLevel = s.getInt32();
    r.zoneColour[2] = static_cast<uint32_t>(s.getNumberText());
    r.zoneColour[3] = static_cast<uint32_t>(s.getNumberText());
    r.lightingMode = s.getInt32();
    r.lightingEffect = s.getInt32();
    r.reservedB = s.getInt32();
    r.reservedC = s.getInt32();
    r.reservedD = s.getUInt8();
    r.pickerColour = static_cast<uint32_t>(s.getNumberText());
    for (ButtonAssignment &b : r.buttons) {
        b.buttonIndex = s.getUInt8();
        b.function = s.getUInt8();
        b.param = s.getInt16();
    }
    for (ButtonMacro &m : r.buttonMacros) {
        m.events.clear();
        m.macroId = s.getInt32();
        m.name = s.getString();
        const int32_t count = s.getInt32();
        if (s.failed() || count <= 0)
            continue;
        // Each event is 8 bytes; a count beyond the data rejects the file
        // before anything is allocated for it.
        if (s.remaining() / 8 < static_cast<size_t>(count)) {
            s.markFailed();
            return;
        }
        m.events.reserve(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            CMacroEvent e;
            e.kind = s.getUInt8();
            e.code = static_cast<uint16_t>(s.getInt16());
            e.upFlag = s.getUInt8();
            e.delay = s.getInt32();
            m.events.push_back(e);
        }
    }
}

} // namespace

QByteArray SerializeProfile(const ProfileRecord &record)
{
    DataStream s(1024);
    writeRecord(s, record);
    return s.bytes();
}

bool DeserializeProfile(ProfileRecord &record, const QByteArray &bytes)
{
    if (bytes.size() < 4 || std::memcmp(bytes.constData(), kMagic, 4) != 0)
        return false;
    DataStream s(bytes.mid(4));
    // Load into a copy so a rejected file leaves the record exactly as it was.
    ProfileRecord loaded = record;
    readRecord(s, loaded);
    if (s.failed())
        return false;
    record = std::move(loaded);
    return true;
}

bool SaveProfile(const ProfileRecord &record, const QString &path)
{
    vela::EnsureFolder(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = SerializeProfile(record);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool LoadProfile(ProfileRecord &record, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Only regular files of a sane size; a FIFO or device would never end.
    if (file.isSequential() || file.size() > kMaxProfileFileSize)
        return false;
    const QByteArray bytes = file.read(kMaxProfileFileSize + 1);
    if (bytes.size() > kMaxProfileFileSize)
        return false;
    return DeserializeProfile(record, bytes);
}
