// One procedure as a C++ function: its frame (locals, temporaries, the cleanup of what it owns),
// its labels, and the loop that brings a trap its On Error handler takes back into its code.
#include <algorithm>
#include <cctype>

#include "writer.h"

namespace brtl::basic::cpp {

ProcedureWriter::ProcedureWriter(Writer &writer, uint32_t index)
    : w_(writer), program_(writer.program()), p_(*writer.program().procedures[index]),
      index_(index), names_(&writer.names()) {}

// ---- Storage
// --------------------------------------------------------------------------------------

void ProcedureWriter::make_slots() {
    // The names the code uses itself come first; the program's names give way to them.
    for (const char *own : {"here", "result", "locals", "temps", "handler", "resume_at", "gosub"})
        names_.claim(own);
    for (const Param &param : p_.params) {
        Slot s;
        bool pointer = param.by_ref || param.is_array;
        s.is = pointer ? Slot::Is::RefParam : Slot::Is::ValueParam;
        s.offset = param.offset;
        s.size = pointer ? sizeof(void *) : rt::storage_size(param.type);
        s.name = names_.make(param.name);
        s.type = param.type;
        s.array = param.is_array;
        s.boxed = !pointer && (param.type.kind == Kind::String || param.type.kind == Kind::Variant);
        slots_.push_back(s);
    }
    if (p_.kind == ProcKind::Function) {
        Slot s;
        s.is = Slot::Is::Result;
        s.offset = p_.result_offset;
        s.size = rt::storage_size(p_.result);
        s.name = "result";
        s.type = p_.result;
        slots_.push_back(s);
    }
    uint32_t hidden = 0;
    for (const Variable &v : p_.locals) {
        Slot s;
        s.offset = v.loc.offset;
        s.size = v.is_array ? sizeof(rt::Array) : rt::storage_size(v.type);
        s.name = v.name.empty() ? names_.claim(numbered("h", hidden++)) : names_.make(v.name);
        s.type = v.type;
        s.array = v.is_array;
        slots_.push_back(s);
    }
    uint32_t n = 0;
    for (const TempSlot &t : p_.slots) {
        Slot s;
        s.offset = t.offset;
        s.is = t.kind == TempKind::Pointer ? Slot::Is::Pointer : Slot::Is::Temp;
        static const Kind kinds[] = {Kind::Integer, Kind::Long,     Kind::Single,
                                     Kind::Double,  Kind::Currency, Kind::String,
                                     Kind::String,  Kind::Variant,  Kind::Long};
        s.type = TypeRef{kinds[static_cast<int>(t.kind)], 0, nullptr};
        s.size = t.kind == TempKind::Pointer ? sizeof(void *) : rt::storage_size(s.type) * t.count;
        s.count = t.count;
        s.boxed = t.kind == TempKind::View; // a view owns nothing
        s.name = names_.claim(numbered(t.kind == TempKind::Pointer ? "p" : "t", n++));
        slots_.push_back(s);
    }
    std::sort(slots_.begin(), slots_.end(),
              [](const Slot &a, const Slot &b) { return a.offset < b.offset; });
}

Slot *ProcedureWriter::slot_at(uint32_t offset) {
    Slot *found = nullptr;
    for (Slot &s : slots_) {
        if (s.offset > offset) break;
        if (offset < s.offset + std::max<uint32_t>(s.size, 1)) found = &s;
    }
    return found;
}

namespace {

bool is_identifier(const std::string &s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
    return true;
}

// The record itself (not a field at its start) is what the instruction wants.
bool whole_record(const Want &want, const TypeRef &type, uint32_t inner) {
    return inner == 0 && (want.shape == Want::Shape::Any ||
                          (want.type.kind == Kind::Record && want.type.record == type.record));
}

std::string pointer_target(const std::string &type_name, const std::string &p, uint32_t disp) {
    return "rt::at<" + type_name + ">(" + p + (disp ? ", " + std::to_string(disp) : "") + ")";
}

} // namespace

std::string ProcedureWriter::operand(const Loc &l, const Want &want) {
    if (l.base == Base::Const) return w_.constant_value(l.offset, want);
    Slot *s = l.base == Base::Global ? w_.global_at(l.offset) : slot_at(l.offset);
    if (s == nullptr) return "/* no storage at " + std::to_string(l.offset) + " */";
    s->used = true;
    if (l.base == Base::Indirect) {
        s->read = true; // the pointer is read, whatever is done with its target
        // Through the pointer a ByRef parameter or a pointer temporary holds.
        if (s->is == Slot::Is::RefParam && l.disp == 0 && s->type.kind != Kind::Record)
            return s->type.kind == Kind::Fixed && !s->array ? s->name : "*" + s->name;
        if (s->is == Slot::Is::RefParam && s->type.kind == Kind::Record && !s->array) {
            if (whole_record(want, s->type, l.disp)) return "*" + s->name;
            std::string path =
                w_.field_path("(*" + s->name + ")", s->type.record, l.disp, want, nullptr);
            std::string star = "(*" + s->name + ").";
            if (path.compare(0, star.size(), star) == 0)
                path = s->name + "->" + path.substr(star.size());
            return path;
        }
        if (want.shape == Want::Shape::Array) return pointer_target("rt::Array", s->name, l.disp);
        if (want.type.kind == Kind::Fixed || want.shape == Want::Shape::Any)
            return "rt::chars(" + s->name + (l.disp ? ", " + std::to_string(l.disp) : "") + ")";
        if (want.type.kind == Kind::Record)
            return pointer_target(w_.record_name(want.type.record), s->name, l.disp);
        return pointer_target(cpp_type(want.type), s->name, l.disp);
    }
    uint32_t inner = l.offset - s->offset;
    if (s->boxed && s->is == Slot::Is::ValueParam)
        return s->name + (s->type.kind == Kind::String ? ".s" : ".v");
    if (s->type.kind == Kind::Record && !s->array && !whole_record(want, s->type, inner))
        return w_.field_path(s->name, s->type.record, inner, want, nullptr);
    if (s->count > 1)
        return s->name + "[" + std::to_string(inner / rt::storage_size(s->type)) + "]";
    return s->name;
}

std::string ProcedureWriter::read(const Loc &l, const Want &want) {
    mark_read(l);
    return operand(l, want);
}

void ProcedureWriter::mark_read(const Loc &l) {
    if (l.base == Base::Const) return;
    Slot *s = l.base == Base::Global ? w_.global_at(l.offset) : slot_at(l.offset);
    if (s != nullptr) s->read = true;
}

std::string ProcedureWriter::address(const Loc &l, const Want &want) {
    if (l.base == Base::Const) return w_.constant_address(l.offset, want);
    mark_read(l);
    std::string x = operand(l, want);
    if (x.compare(0, 10, "rt::chars(") == 0) return x;
    if (want.type.kind == Kind::Fixed && want.shape == Want::Shape::Value) return x;
    if (x.size() > 1 && x[0] == '*' && is_identifier(x.substr(1))) return x.substr(1);
    return "&" + x;
}

std::string ProcedureWriter::value(const Loc &l, Kind k, bool temp) {
    std::string x = read(l, Want::value(k));
    if (l.base == Base::Const) return x;
    // A Variant is always handed over; a String when it is a temporary.
    if (k == Kind::Variant || (k == Kind::String && temp)) return "rt::take(" + x + ")";
    return x;
}

std::string ProcedureWriter::list_read(uint32_t at, uint16_t n, Kind k) {
    std::string out;
    for (uint16_t i = 0; i < n; ++i)
        out += (i ? ", " : "") + read(p_.lists[at + i].loc, Want::value(k));
    return out;
}

// ---- Labels
// ---------------------------------------------------------------------------------------

void ProcedureWriter::find_labels() {
    for (uint32_t i = 0; i < p_.code.size(); ++i) {
        const Instr &in = p_.code[i];
        switch (in.op) {
        case Op::Jump:
        case Op::JumpIfFalse:
        case Op::JumpIfTrue:
        case Op::JumpCompare:
        case Op::ForNext:
            labels_.insert(in.x);
            break;
        case Op::GoSub:
            gosub_ = true;
            labels_.insert(in.x);
            gosub_returns_.push_back(i + 1);
            break;
        case Op::OnGoTo:
        case Op::OnGoSub:
            for (uint16_t k = 0; k < in.n; ++k)
                labels_.insert(p_.lists[in.x + k].index);
            if (in.op == Op::OnGoSub) {
                gosub_ = true;
                gosub_returns_.push_back(i + 1);
            }
            break;
        case Op::ReturnGoSub:
            gosub_ = true;
            returns_ = true;
            break;
        case Op::OnError:
            handler_ = true;
            if (in.k == 1) labels_.insert(in.x);
            break;
        case Op::Resume:
            handler_ = true;
            if (in.k == 2) labels_.insert(in.x);
            break;
        default:
            break;
        }
    }
    // Without a Return in the procedure, no GoSub comes back.
    if (!returns_) gosub_returns_.clear();
    labels_.insert(gosub_returns_.begin(), gosub_returns_.end());
    if (handler_) {
        // Where a trap or a Resume may send the code: every statement's start and the next
        // statement's start.
        for (const Unit &u : p_.units) {
            labels_.insert(u.start);
            labels_.insert(u.end);
        }
    }
    std::sort(gosub_returns_.begin(), gosub_returns_.end());
    gosub_returns_.erase(std::unique(gosub_returns_.begin(), gosub_returns_.end()),
                         gosub_returns_.end());
}

std::string ProcedureWriter::jump(uint32_t target) const {
    return "goto L" + std::to_string(target) + ";";
}

void ProcedureWriter::line(const std::string &text) {
    body_ << indent_ << text << "\n";
}

// ---- The function
// ---------------------------------------------------------------------------------

void ProcedureWriter::write_header(std::ostringstream &out) {
    if (p_.kind == ProcKind::ModuleCode) {
        out << "// The module-level code of " << p_.module << "\n";
    } else {
        std::string decl = w_.source_line(p_.module, p_.line);
        size_t at = 0;
        while (true) {
            size_t end = decl.find('\n', at);
            out << "// " << decl.substr(at, end == std::string::npos ? std::string::npos : end - at)
                << "\n";
            if (end == std::string::npos) break;
            at = end + 1;
        }
    }
    out << w_.signature(index_) << "(";
    bool first = true;
    for (const Param &param : p_.params) {
        const Slot *s = nullptr;
        for (const Slot &slot : slots_)
            if (slot.offset == param.offset &&
                (slot.is == Slot::Is::RefParam || slot.is == Slot::Is::ValueParam))
                s = &slot;
        out << (first ? "" : ", ") << (s->used ? "" : "[[maybe_unused]] ")
            << w_.parameter_type(param) << s->name;
        first = false;
    }
    out << ") {\n";
}

void ProcedureWriter::write_declarations(std::ostringstream &out) {
    out << "    rt::Frame here(" << w_.info_name(index_) << ");\n";
    std::vector<std::string> owned, temps;
    auto number = [&](const Slot &s) {
        out << "    " << (s.read ? "" : "[[maybe_unused]] ") << cpp_type(s.type) << " " << s.name
            << " = 0;\n";
    };
    for (const Slot &s : slots_) {
        if (s.is != Slot::Is::Variable && s.is != Slot::Is::Result) continue;
        if (s.array) {
            out << "    rt::Array " << s.name << "{};\n";
            owned.push_back("rt::Owned(" + s.name + ", " + w_.type_constant(s.type) + ")");
            continue;
        }
        switch (s.type.kind) {
        case Kind::String:
            out << "    BiString " << s.name << " = rt::empty_string();\n";
            owned.push_back(s.name);
            break;
        case Kind::Variant:
            out << "    VARIANT " << s.name << " = rt::empty_variant();\n";
            owned.push_back(s.name);
            break;
        case Kind::Fixed:
            out << "    char " << s.name << "[" << s.type.length + 1 << "] = {};\n";
            break;
        case Kind::Record:
            out << "    " << w_.record_name(s.type.record) << " " << s.name << "{};\n";
            out << "    rt::init_value(&" << s.name << ", " << w_.type_constant(s.type) << ");\n";
            if (rt::needs_release(s.type))
                owned.push_back("rt::Owned(&" + s.name + ", " + w_.type_constant(s.type) + ")");
            break;
        default:
            number(s);
            break;
        }
    }
    out << cleanup_declaration("locals", owned);
    for (const Slot &s : slots_) {
        if (!s.used) continue;
        if (s.is == Slot::Is::Pointer) {
            out << "    " << (s.read ? "" : "[[maybe_unused]] ") << "void *" << s.name
                << " = nullptr;\n";
        } else if (s.is == Slot::Is::Temp) {
            if (s.type.kind == Kind::String) {
                out << "    BiString " << s.name << " = rt::empty_string();\n";
                if (!s.boxed) temps.push_back(s.name);
            } else if (s.type.kind == Kind::Variant && s.count > 1) {
                out << "    VARIANT " << s.name << "[" << s.count << "] = {};\n";
                temps.push_back(s.name);
            } else if (s.type.kind == Kind::Variant) {
                out << "    VARIANT " << s.name << " = rt::empty_variant();\n";
                temps.push_back(s.name);
            } else {
                number(s);
            }
        }
    }
    out << cleanup_declaration("temps", temps);
    for (const Variable &v : p_.locals)
        if (v.fixed_array)
            out << array_dim_statement(slot_at(v.loc.offset)->name, w_.type_constant(v.type), v);
    if (handler_) out << "    rt::ErrorHandler handler;\n    uint32_t resume_at = 0;\n";
    if (gosub_) out << "    rt::GoSubReturns gosub;\n";
    if (handler_ && !temps.empty()) has_temps_ = true;
}

std::string ProcedureWriter::run() {
    make_slots();
    find_labels();
    indent_ = handler_ ? "            " : "    ";
    uint32_t last_unit = UINT32_MAX;
    int32_t last_line = 0;
    for (uint32_t i = 0; i < p_.code.size(); ++i) {
        const Instr &in = p_.code[i];
        bool labelled = labels_.count(i) != 0;
        if (labelled) body_ << indent_.substr(2) << "L" << i << ":\n";
        if (labelled || in.unit != last_unit) {
            const Unit &u = p_.units[in.unit];
            if (u.line != last_line) {
                std::string text = w_.source_line(p_.module, u.line);
                size_t at = 0;
                std::string number = std::to_string(u.line) + ": ";
                while (true) {
                    size_t end = text.find('\n', at);
                    std::string piece =
                        text.substr(at, end == std::string::npos ? std::string::npos : end - at);
                    piece.erase(0, piece.find_first_not_of(" \t"));
                    line("// " + number + piece);
                    number = std::string(number.size(), ' ');
                    if (end == std::string::npos) break;
                    at = end + 1;
                }
                last_line = u.line;
            }
            line("here.unit = " + std::to_string(in.unit) + ";");
            last_unit = in.unit;
        }
        instruction(i);
    }
    if (labels_.count(static_cast<uint32_t>(p_.code.size()))) {
        // The end of the code as a target: the procedure returns.
        body_ << indent_.substr(2) << "L" << p_.code.size() << ":\n";
        Instr ret;
        ret.op = Op::Return;
        control(static_cast<uint32_t>(p_.code.size()), ret);
    }

    std::ostringstream out;
    std::string body = body_.str();
    std::ostringstream declarations;
    write_declarations(declarations);
    write_header(out);
    out << declarations.str();
    if (!handler_) {
        out << body;
    } else {
        out << "    // A trap the handler takes comes back here, to go on where the handler says.\n"
            << "    for (;;) {\n        try {\n";
        if (uses_dispatch_) out << "        dispatch:\n";
        out << "            switch (resume_at) {\n";
        for (uint32_t target : labels_) {
            bool unit_place = false;
            for (const Unit &u : p_.units)
                unit_place = unit_place || u.start == target || u.end == target;
            bool handler_place = false;
            for (const Instr &in : p_.code)
                handler_place =
                    handler_place || (in.op == Op::OnError && in.k == 1 && in.x == target);
            if (!(unit_place || handler_place)) continue;
            out << "            case " << target << ":\n                goto L" << target << ";\n";
        }
        out << "            default:\n                break;\n            }\n";
        out << body;
        out << "        } catch (const rt::Trap &trap) {\n"
            << "            if (!handler.takes()) throw;\n";
        if (has_temps_) out << "            temps.release();\n";
        out << "            resume_at = handler.take(trap, here);\n        }\n    }\n";
    }
    out << "}\n";
    return out.str();
}

} // namespace brtl::basic::cpp
