// The factory preset files as a VST 3 host reads them: every preset of the
// table has a file that parses, names the effect's class, and whose component
// chunk, handed to the built effect's setState, sets exactly its values.
#include "integration/BundleHost.h"
#include "resources/presets/FactoryPresets.h"

#include "public.sdk/source/common/memorystream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

using namespace Steinberg;

namespace {

struct Chunk
{
    int64_t offset = 0;
    int64_t size = 0;
};

// What a host reads from a preset file; `error` says what was wrong.
struct PresetFile
{
    std::string classId;
    std::map<std::string, Chunk> chunks;
    std::vector<uint8_t> bytes;
    std::string error;
};

template <typename Integer>
Integer littleEndian(const std::vector<uint8_t>& bytes, size_t at)
{
    uint64_t value = 0;
    for (size_t i = 0; i < sizeof(Integer); ++i)
        value |= static_cast<uint64_t>(bytes[at + i]) << (8 * i);
    return static_cast<Integer>(value);
}

PresetFile readPresetFile(const std::string& path)
{
    PresetFile file;
    std::ifstream in(path, std::ios::binary);
    file.bytes.assign(std::istreambuf_iterator<char>(in), {});
    const std::vector<uint8_t>& b = file.bytes;
    if (b.size() < 48 || std::memcmp(b.data(), "VST3", 4) != 0 || littleEndian<int32_t>(b, 4) != 1)
        return file.error = "no VST3 header", file;
    file.classId.assign(b.begin() + 8, b.begin() + 40);
    const auto list = static_cast<size_t>(littleEndian<int64_t>(b, 40));
    if (list + 8 > b.size() || std::memcmp(b.data() + list, "List", 4) != 0)
        return file.error = "no chunk list", file;
    const auto entries = static_cast<size_t>(littleEndian<int32_t>(b, list + 4));
    if (list + 8 + entries * 20 != b.size())
        return file.error = "the chunk list does not end the file", file;
    for (size_t e = 0; e < entries; ++e) {
        const size_t at = list + 8 + e * 20;
        const Chunk chunk{littleEndian<int64_t>(b, at + 4), littleEndian<int64_t>(b, at + 12)};
        if (chunk.offset < 48 || chunk.size < 0 || static_cast<size_t>(chunk.offset + chunk.size) > list)
            return file.error = "a chunk lies outside the data", file;
        file.chunks[std::string(b.begin() + at, b.begin() + at + 4)] = chunk;
    }
    return file;
}

std::string classIdOfBundle(const testing_support::BundleHost& host)
{
    IPtr<IPluginFactory> factory = owned(host.factory());
    PClassInfo info;
    if (!factory || factory->getClassInfo(0, &info) != kResultOk)
        return {};
    char text[33] = {};
    FUID::fromTUID(info.cid).toString(text);
    return text;
}

TEST(FactoryPresetFiles, EachLoadsIntoTheEffectWithExactlyItsValues)
{
    testing_support::BundleHost host(OL7T_BUNDLE_DIR);
    ASSERT_TRUE(host.loaded());
    const std::string classId = classIdOfBundle(host);
    ASSERT_EQ(classId.size(), 32u);

    ASSERT_GE(factoryPresets().size(), 12u);
    for (const FactoryPreset& preset : factoryPresets()) {
        SCOPED_TRACE(preset.name);
        const PresetFile file = readPresetFile(std::string(OL7T_PRESETS_DIR) + "/" + preset.name + ".vstpreset");
        ASSERT_EQ(file.error, "");
        EXPECT_EQ(file.classId, classId);
        ASSERT_EQ(file.chunks.count("Comp"), 1u);
        ASSERT_EQ(file.chunks.count("Cont"), 1u);
        EXPECT_EQ(file.chunks.at("Cont").size, 0);

        // A fresh effect with other values first, so every value must come
        // from the file.
        IPtr<Vst::IComponent> component = owned(host.createComponent());
        ASSERT_TRUE(component);
        ASSERT_EQ(component->initialize(nullptr), kResultOk);
        IPtr<Vst::IEditController> controller = owned(testing_support::queryInterface<Vst::IEditController>(component));
        for (uint32 id = 0; id < PARAM_COUNT; ++id)
            controller->setParamNormalized(id, 1.0 - preset.values[id]);

        const Chunk comp = file.chunks.at("Comp");
        MemoryStream stream;
        int32 written = 0;
        stream.write(const_cast<uint8_t*>(file.bytes.data() + comp.offset), static_cast<int32>(comp.size), &written);
        stream.seek(0, IBStream::kIBSeekSet, nullptr);
        ASSERT_EQ(component->setState(&stream), kResultOk);
        for (uint32 id = 0; id < PARAM_COUNT; ++id)
            EXPECT_EQ(controller->getParamNormalized(id), static_cast<double>(preset.values[id])) << "parameter " << id;
        component->terminate();
    }
}

TEST(FactoryPresetFiles, NamesAreUniqueAndFoundInAnyCase)
{
    for (const FactoryPreset& preset : factoryPresets()) {
        std::string upper = preset.name;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(findFactoryPreset(upper), &preset) << preset.name;
    }
    EXPECT_EQ(findFactoryPreset("Drum Bus "), nullptr);
    EXPECT_EQ(findFactoryPreset(""), nullptr);
}

} // namespace
