#include "platform/components/StoredDesign.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <cmath>

#include "platform/core/Exceptions.h"

namespace tess {
namespace {

StoredValue FromJson(const QJsonValue& v) {
  switch (v.type()) {
    case QJsonValue::Bool:
      return StoredValue(v.toBool());
    case QJsonValue::Double: {
      double d = v.toDouble();
      if (std::floor(d) == d && std::fabs(d) < 9.0e15) return StoredValue(static_cast<std::int64_t>(d));
      return StoredValue(d);
    }
    case QJsonValue::String:
      return StoredValue(Cp932String::FromUtf8(v.toString().toStdString()));
    case QJsonValue::Array: {
      StoredValue::List list;
      for (const auto& item : v.toArray()) list.push_back(FromJson(item));
      return StoredValue(std::move(list));
    }
    default:
      return StoredValue();
  }
}

QJsonValue ToJson(const StoredValue& v) {
  if (v.IsBool()) return QJsonValue(v.AsBool());
  if (v.IsInteger()) return QJsonValue(static_cast<qint64>(v.AsInteger()));
  if (v.IsFloat()) return QJsonValue(v.AsFloat());
  if (v.IsString()) return QJsonValue(QString::fromStdString(v.AsString().ToUtf8()));
  if (v.IsList()) {
    QJsonArray array;
    for (const StoredValue& item : v.AsList()) array.append(ToJson(item));
    return array;
  }
  return QJsonValue();
}

std::string QualifiedName(const TComponent& c) {
  std::string name = c.Name().empty() ? std::string("<") + c.ClassName() + ">" : c.Name();
  return name;
}

// Reads the declared properties of one component from its "properties" object.
class ReadingFiler : public TFiler {
 public:
  ReadingFiler(const TComponent& component, const QJsonObject& properties, DesignReadReport& report)
      : FComponent(component), FProperties(properties), FReport(report) {}

  void DefineProperty(std::string_view name, const ReadProc& read, const WriteProc& /*write*/,
                      bool /*hasData*/) override {
    QString key = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    FSeen.append(key);
    auto it = FProperties.constFind(key);
    if (it == FProperties.constEnd()) return;
    StoredValue value = FromJson(it.value());
    TReader reader(value);
    try {
      read(reader);
    } catch (const std::exception& e) {
      FReport.problems.push_back(QualifiedName(FComponent) + "." + std::string(name) + ": " + e.what());
    }
  }

  void ReportUnknown() {
    for (auto it = FProperties.constBegin(); it != FProperties.constEnd(); ++it) {
      if (!FSeen.contains(it.key())) {
        FReport.problems.push_back(QualifiedName(FComponent) + "." + it.key().toStdString() +
                                   ": unknown property");
      }
    }
  }

 private:
  const TComponent& FComponent;
  const QJsonObject& FProperties;
  DesignReadReport& FReport;
  QStringList FSeen;
};

class WritingFiler : public TFiler {
 public:
  void DefineProperty(std::string_view name, const ReadProc& /*read*/, const WriteProc& write,
                      bool hasData) override {
    if (!hasData) return;
    TWriter writer;
    try {
      write(writer);
    } catch (const EReadError&) {
      return;  // a component that cannot write its own data leaves the property out
    }
    if (!writer.HasValue()) return;
    FProperties.insert(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())),
                       ToJson(writer.Result()));
  }
  QJsonObject Take() { return std::move(FProperties); }

 private:
  QJsonObject FProperties;
};

struct PendingRead {
  TComponent* component;
  QJsonObject properties;
};

// Phase one: find or create every component the document names, so references resolve in phase two.
void CollectComponents(TComponent& owner, const QJsonArray& entries, std::vector<PendingRead>& pending,
                       DesignReadReport& report) {
  for (const auto& entry : entries) {
    if (!entry.isObject()) {
      report.problems.push_back(QualifiedName(owner) + ": a component entry is not an object");
      continue;
    }
    QJsonObject object = entry.toObject();
    std::string name = object.value("name").toString().toStdString();
    std::string className = object.value("class").toString().toStdString();
    TComponent* component = owner.FindComponent(name);
    if (component == nullptr) {
      component = CreateComponentByClass(className, &owner);
      if (component == nullptr) {
        report.problems.push_back(QualifiedName(owner) + "." + name + ": unknown class " + className);
        continue;
      }
      try {
        component->SetName(name);
      } catch (const std::exception& e) {
        report.problems.push_back(e.what());
      }
    } else if (!className.empty() && className != component->ClassName()) {
      report.problems.push_back(name + ": stored as " + className + " but is " + component->ClassName());
    }
    component->SetReading(true);
    pending.push_back({component, object.value("properties").toObject()});
    CollectComponents(*component, object.value("components").toArray(), pending, report);
  }
}

QJsonObject ParseComponentObject(std::string_view json) {
  QJsonParseError error{};
  QJsonDocument doc =
      QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())), &error);
  if (error.error != QJsonParseError::NoError) {
    throw EReadError(
        Cp932String::FromUtf8("Stored design is not valid JSON: " + error.errorString().toStdString() +
                              " at offset " + std::to_string(error.offset)));
  }
  if (!doc.isObject()) throw EReadError("Stored design is not a component object");
  return doc.object();
}

DesignReadReport ReadDesign(TComponent& root, std::string_view json, bool withComponents) {
  QJsonObject object = ParseComponentObject(json);
  DesignReadReport report;
  std::vector<PendingRead> pending;
  root.SetReading(true);
  pending.push_back({&root, object.value("properties").toObject()});
  if (withComponents) CollectComponents(root, object.value("components").toArray(), pending, report);

  for (PendingRead& p : pending) {
    ReadingFiler filer(*p.component, p.properties, report);
    p.component->DefineProperties(filer);
    filer.ReportUnknown();
  }
  for (PendingRead& p : pending) p.component->SetLoadingDone();
  for (PendingRead& p : pending) p.component->Loaded();
  return report;
}

QJsonObject WriteObject(const TComponent& component, bool withComponents) {
  QJsonObject object;
  object.insert("class", QString::fromUtf8(component.ClassName()));
  object.insert("name", QString::fromStdString(component.Name()));
  WritingFiler filer;
  const_cast<TComponent&>(component).DefineProperties(filer);
  object.insert("properties", filer.Take());
  if (withComponents && component.ComponentCount() > 0) {
    QJsonArray children;
    for (int i = 0; i < component.ComponentCount(); ++i) {
      children.append(WriteObject(*component.Components(i), true));
    }
    object.insert("components", children);
  }
  return object;
}

}  // namespace

DesignReadReport ReadComponentDesign(TComponent& root, std::string_view json) {
  return ReadDesign(root, json, true);
}

std::string WriteComponentDesign(const TComponent& root) {
  return QJsonDocument(WriteObject(root, true)).toJson(QJsonDocument::Indented).toStdString();
}

std::string ComponentToText(const TComponent& component) {
  return QJsonDocument(WriteObject(component, false)).toJson(QJsonDocument::Compact).toStdString();
}

DesignReadReport ComponentFromText(TComponent& component, std::string_view json) {
  return ReadDesign(component, json, false);
}

}  // namespace tess
