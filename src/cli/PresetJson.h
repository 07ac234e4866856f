// A preset as a JSON document, so that presets can live in version control as text. The document
// holds every field of the preset record under the configuration model's names: SystemName,
// InputName, Output (Output 1, Output 2, SUB) with Name, Route, Peq bands (FilterType,
// FrequencyHz, Q, GainDb; seven bands, three on SUB), the two crossover edges, delays, levels;
// Dynamics (unit 1 "Out 1-2", unit 2 SUB) with the dynamics and speaker settings; measurement
// import settings and ResponseView. Coefficients are not part of it: they are designed again
// from these fields, as they are after opening a preset file.
#pragma once

#include <QJsonObject>
#include <string>
#include <string_view>

#include "config/ProcessorConfig.h"

namespace kvn::cli {

class PresetJson {
public:
    // Every stored field of `config`.
    static QJsonObject toJson(const ProcessorConfig& config);

    // Applies `document` to `config`: keys present replace the field, keys absent leave it as it
    // is (start from a New configuration to get its defaults). A list holds as many values or
    // entries as the model ("InputMatrix has 3 values, 4 expected"; an entry may be {}). Unknown
    // keys, wrong types and values outside what the editor allows throw CliError (bad input)
    // with a message naming the key by its path ("Output[2].Peq[3].Q: expected a number from 0.5
    // to 20"); outputs, bands and units count from 1 in these paths. `config` may be partly
    // changed when it throws.
    static void apply(const QJsonObject& document, ProcessorConfig& config);

    // Where byte `offset` of a JSON text lies, as the path of the value it is in
    // ("Output[2].Gain"); empty at the top level. For messages about text that does not parse.
    static std::string pathAt(std::string_view json, std::size_t offset);
};

}  // namespace kvn::cli
