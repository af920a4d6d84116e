#include "Common/Particles/CEffectLibrary.h"

#include "Common/Particles/CEffectParams.h"
#include "Common/Particles/ParticleText.h"

#include <tinyxml.h>

#include <cstring>

CEffectLibrary* g_effectLibrary = nullptr;

namespace {

// The value of an element's first attribute, whatever it is called; null without one.
const char* FirstAttributeValue(const TiXmlElement& element) {
  const TiXmlAttribute* attribute = element.FirstAttribute();
  return attribute ? attribute->Value() : nullptr;
}

void ReadParameter(CEffectParams& params, const char* group, const TiXmlElement& parameter) {
  const TiXmlAttribute* attribute = parameter.FirstAttribute();
  if (!attribute) return;  // no typed value to read
  const char* name = parameter.Value();
  const char* kind = attribute->Name();
  const char* value = attribute->Value();
  if (TextEqualsNoCase(kind, "fValue")) {
    params.AddFloatParam(group, name, ParseLeadingFloat(value));
  } else if (TextEqualsNoCase(kind, "iValue")) {
    params.AddIntParam(group, name, ParseLeadingInt(value));
  } else if (TextEqualsNoCase(kind, "tValue")) {
    params.AddTextParam(group, name, value);
  }
}

void ReadGroups(CEffectParams& params, const TiXmlElement& effect) {
  for (const TiXmlElement* group = effect.FirstChildElement(); group; group = group->NextSiblingElement()) {
    params.AddGroupValue(ParseLeadingInt(FirstAttributeValue(*group)));
    params.AddGroup(group->Value());
    for (const TiXmlElement* parameter = group->FirstChildElement(); parameter;
         parameter = parameter->NextSiblingElement()) {
      ReadParameter(params, group->Value(), *parameter);
    }
  }
}

}  // namespace

void CEffectLibrary::Load(const TiXmlDocument& document) {
  Clear();
  const TiXmlElement* root = document.RootElement();
  if (!root) return;  // nothing to read in a document without elements

  auto readEffect = [this](const TiXmlElement& effect) {
    SEffectRecord* record = new SEffectRecord;
    const char* name = FirstAttributeValue(effect);
    if (name) std::strncpy(record->name, name, kMaxNameLength);
    record->params = new CEffectParams;
    ReadGroups(*record->params, effect);
    m_records.push_back(record);
  };

  if (TextEqualsNoCase(root->Value(), "Effects")) {
    for (const TiXmlElement* effect = root->FirstChildElement(); effect; effect = effect->NextSiblingElement()) {
      readEffect(*effect);
    }
  } else {
    readEffect(*root);
  }
}

void CEffectLibrary::Clear() {
  for (SEffectRecord* record : m_records) delete record;
  m_records.clear();
}
