#include "media/probe/mci_errors.h"

#include <array>
#include <utility>

namespace dorvem::mci {

namespace {

constexpr std::array<std::pair<MCIERROR, const char*>, 17> kTexts{{
    {0, "A parancs végrehajtása sikerült."},
    {MCIERR_INVALID_DEVICE_ID,
     "Érvénytelen eszközazonosító: ilyen azonosítójú eszköz nincs megnyitva."},
    {MCIERR_UNRECOGNIZED_COMMAND, "Az eszköz nem ismeri ezt a parancsot."},
    {MCIERR_INVALID_DEVICE_NAME, "Nincs ilyen nevű médiaeszköz."},
    {MCIERR_CANNOT_LOAD_DRIVER,
     "A fájl lejátszásához szükséges dekóder nincs telepítve (GStreamer-bővítmény)."},
    {MCIERR_MISSING_PARAMETER, "A parancsból hiányzik egy szükséges érték."},
    {MCIERR_UNSUPPORTED_FUNCTION, "Az eszköz nem tudja végrehajtani ezt a műveletet."},
    {MCIERR_FILE_NOT_FOUND,
     "A fájl nem található. Ellenőrizze, hogy helyes-e az elérési út és a fájlnév."},
    {MCIERR_DEVICE_NOT_READY, "Az eszköz nem áll készen: a lejátszás korábban hibával leállt."},
    {MCIERR_INTERNAL, "Belső hiba: a lejátszó nem indítható el."},
    {MCIERR_OUTOFRANGE, "A megadott pozíció kívül esik a felvétel hosszán."},
    {MCIERR_BAD_TIME_FORMAT, "Az eszköz nem ismeri ezt az időformátumot."},
    {MCIERR_INVALID_FILE,
     "A fájl nem játszható le: nem WAV-, MP3- vagy MIDI-fájl, vagy a tartalma sérült."},
    {MCIERR_NULL_PARAMETER_BLOCK,
     "A parancs paraméterei hiányoznak vagy nem illenek a parancshoz."},
    {MCIERR_FILENAME_REQUIRED, "A megnyitáshoz meg kell adni a lejátszandó fájl nevét."},
    {MCIERR_DEVICE_NOT_INSTALLED, "Ez a médiaeszköz nincs telepítve."},
    {MCIERR_FILE_READ, "A fájl nem olvasható."},
}};

}  // namespace

std::optional<std::string> MciErrorText(MCIERROR code) {
  for (const auto& [c, text] : kTexts)
    if (c == code) return std::string(text);
  return std::nullopt;
}

}  // namespace dorvem::mci
