#include "logic/telematic/servicesettingswindow.h"

#include "core/files/text1252.h"
#include "core/flow/servicesettings.h"

namespace accise {

using namespace servicesettingswindow;

namespace {

struct KeyText {
    std::string_view key;
    const char* caption;
    const char* takes; // what the field accepts, for the message
    int width;
};

constexpr KeyText kKeyTexts[] = {
    {"HOST_PROVA", "Host dell'ambiente di prova", "un nome di host o un indirizzo IP (vuoto: localhost)", 253},
    {"PORTA_PROVA", "Porta dell'ambiente di prova", "un numero da 1 a 65535 (vuoto: 8443)", 5},
    {"HOST_REALE", "Host dell'ambiente reale", "un nome di host o un indirizzo IP (vuoto: nessun invio reale)", 253},
    {"PORTA_REALE", "Porta dell'ambiente reale", "un numero da 1 a 65535 (vuoto: 443)", 5},
    {"NAMESPACE", "Namespace del servizio", "l'URI indicato dall'agenzia", 250},
    {"CA_AGGIUNTIVA", "Certificato CA aggiuntivo (solo prova)", "il percorso di un file PEM", 250},
    {"CA_AGGIUNTIVA_REALE", "Certificato CA aggiuntivo (reale)", "il percorso di un file PEM", 250},
    {"TIMEOUT_SECONDI", "Attesa massima di una chiamata (secondi)", "un numero da 1 a 3600 (vuoto: 60)", 4},
};

const KeyText& textOf(std::string_view key) {
    for (const KeyText& k : kKeyTexts)
        if (k.key == key) return k;
    return kKeyTexts[0];
}

} // namespace

std::string ServiceSettingsLogic::caption(std::string_view key) { return textOf(key).caption; }

std::string ServiceSettingsLogic::invalidMessage(std::string_view key) {
    const KeyText& k = textOf(key);
    return std::string("VALORE NON VALIDO PER \"") + k.caption + "\": INDICARE " + k.takes;
}

ServiceSettingsLogic::ServiceSettingsLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : EntryFormLogic(ctx, prompt, services) {
    for (const KeyText& k : kKeyTexts) addField(FieldSpec(std::string(k.key), k.width));
}

void ServiceSettingsLogic::onOpen() {
    folders().create();
    for (const char* key : kServiceKeys) setValue(key, storedServiceValue(folders(), key));
    setFocusAfterOpen(kServiceKeys[0]);
}

bool ServiceSettingsLogic::valueOk(std::string_view key) {
    if (serviceValueUsable(key, trimmed(value(key)))) return true;
    prompt().information(invalidMessage(key));
    return false;
}

FocusMove ServiceSettingsLogic::onLeave(std::string_view control) {
    return valueOk(control) ? FocusMove::next() : FocusMove::to(std::string(control));
}

std::optional<std::string> ServiceSettingsLogic::onConfirmChecks() {
    for (const char* key : kServiceKeys)
        if (!valueOk(key)) return std::string(key);
    // The real environment as it would be read: never the test one.
    const auto orDefault = [this](const char* key, const char* fallback) {
        const std::string v = trimmed(value(key));
        return v.empty() ? std::string(fallback) : v;
    };
    if (!trimmed(value("HOST_REALE")).empty() && orDefault("HOST_REALE", "") == orDefault("HOST_PROVA", "localhost") &&
        orDefault("PORTA_REALE", "443") == orDefault("PORTA_PROVA", "8443")) {
        prompt().information(kSameAsTest);
        return std::string("HOST_REALE");
    }
    return std::nullopt;
}

void ServiceSettingsLogic::onSave() {
    std::vector<std::pair<std::string, std::string>> values;
    for (const char* key : kServiceKeys) values.emplace_back(key, trimmed(value(key)));
    writeServiceValues(folders(), values);
    requestClose();
}

} // namespace accise
