#include "db/Statement.h"

#include "db/Database.h"
#include "db/FbStatus.h"
#include "db/SqlText.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cstring>
#include <stdexcept>

namespace db {

using detail::check;

namespace {

constexpr short CharsetOctets = 1;
constexpr short CharsetUtf8 = 4;
// ISC dates count days from 17 November 1858, the Modified Julian Day epoch.
constexpr qint64 IscDateEpochJulianDay = 2400001;
constexpr qint64 IscTimeUnitsPerMs = 10;  // ISC_TIME counts 1/10000 s

XSQLDA* allocSqlda(int n) {
    const int count = n < 1 ? 1 : n;
    auto* da = static_cast<XSQLDA*>(std::calloc(1, XSQLDA_LENGTH(count)));
    da->version = SQLDA_VERSION1;
    da->sqln = short(count);
    return da;
}

struct SqldaDeleter {
    void operator()(XSQLDA* p) const { std::free(p); }
};
using SqldaPtr = std::unique_ptr<XSQLDA, SqldaDeleter>;

ISC_DATE toIscDate(const QDate& d) { return ISC_DATE(d.toJulianDay() - IscDateEpochJulianDay); }
QDate fromIscDate(ISC_DATE d) { return QDate::fromJulianDay(qint64(d) + IscDateEpochJulianDay); }
ISC_TIME toIscTime(const QTime& t) { return ISC_TIME(t.msecsSinceStartOfDay() * IscTimeUnitsPerMs); }
QTime fromIscTime(ISC_TIME t) { return QTime::fromMSecsSinceStartOfDay(int(t / IscTimeUnitsPerMs)); }

double pow10(int n) {
    double r = 1;
    while (n-- > 0) r *= 10;
    return r;
}

// Bytes per character of a text column as the client sees it.
int bytesPerChar(short charset) { return charset == CharsetUtf8 ? 4 : 1; }

}  // namespace

struct Statement::Impl {
    Transaction& tx;
    isc_stmt_handle handle = 0;
    PositionalSql positional;
    SqldaPtr in;
    SqldaPtr out;
    std::vector<QByteArray> inBuffers;
    std::vector<short> inNulls;
    std::vector<bool> bound;
    std::vector<short> describedType;  // input sqltype as the server described it
    std::vector<short> describedSubtype;
    std::vector<short> describedScale;
    std::vector<short> describedLength;  // input sqllen as the server described it (bytes)
    std::vector<QByteArray> outBuffers;
    std::vector<short> outNulls;
    QStringList columns;
    int type = 0;
    bool cursorOpen = false;
    bool pendingSingleton = false;  // RETURNING / EXECUTE PROCEDURE row waiting for next()
    bool singletonDelivered = false;

    explicit Impl(Transaction& t) : tx(t) {}

    ~Impl() {
        if (handle) {
            ISC_STATUS_ARRAY status;
            isc_dsql_free_statement(status, &handle, DSQL_drop);
        }
    }

    isc_db_handle* dbh() { return tx.database().handlePtr(); }
    isc_tr_handle* trh() { return tx.handlePtr(); }

    void prepare(const QString& sql) {
        positional = toPositional(sql);
        ISC_STATUS_ARRAY status;
        isc_dsql_allocate_statement(status, dbh(), &handle);
        check(status);
        out.reset(allocSqlda(20));
        const QByteArray text = positional.sql.toUtf8();
        isc_dsql_prepare(status, trh(), &handle, 0, text.constData(), SQL_DIALECT_V6, out.get());
        check(status);
        if (out->sqld > out->sqln) {
            const int n = out->sqld;
            out.reset(allocSqlda(n));
            isc_dsql_describe(status, &handle, SQL_DIALECT_V6, out.get());
            check(status);
        }
        setupOutput();
        setupInput();
        readType();
    }

    void readType() {
        ISC_STATUS_ARRAY status;
        const char items[] = {isc_info_sql_stmt_type};
        char buffer[16];
        isc_dsql_sql_info(status, &handle, sizeof items, items, sizeof buffer, buffer);
        check(status);
        if (buffer[0] == isc_info_sql_stmt_type) {
            const short len = short(isc_vax_integer(buffer + 1, 2));
            type = int(isc_vax_integer(buffer + 3, len));
        }
    }

    void setupOutput() {
        const int n = out->sqld;
        outBuffers.resize(n);
        outNulls.assign(n, 0);
        columns.clear();
        for (int i = 0; i < n; ++i) {
            XSQLVAR& v = out->sqlvar[i];
            int size = v.sqllen;
            if ((v.sqltype & ~1) == SQL_VARYING) size += 2;
            outBuffers[i] = QByteArray(size + 1, '\0');
            v.sqldata = outBuffers[i].data();
            v.sqlind = &outNulls[i];
            v.sqltype |= 1;  // always ask for the null indicator
            const QByteArray alias(v.aliasname, v.aliasname_length);
            columns.append(QString::fromUtf8(alias.isEmpty() ? QByteArray(v.sqlname, v.sqlname_length) : alias));
        }
    }

    void setupInput() {
        ISC_STATUS_ARRAY status;
        in.reset(allocSqlda(int(positional.names.size())));
        isc_dsql_describe_bind(status, &handle, SQL_DIALECT_V6, in.get());
        check(status);
        if (in->sqld > in->sqln) {
            const int n = in->sqld;
            in.reset(allocSqlda(n));
            isc_dsql_describe_bind(status, &handle, SQL_DIALECT_V6, in.get());
            check(status);
        }
        const int n = in->sqld;
        if (n != positional.names.size())
            throw DbError(QStringLiteral("Parameter count mismatch: %1 markers, %2 described")
                              .arg(positional.names.size())
                              .arg(n));
        inBuffers.assign(n, QByteArray());
        inNulls.assign(n, 0);
        bound.assign(n, false);
        describedType.resize(n);
        describedSubtype.resize(n);
        describedScale.resize(n);
        describedLength.resize(n);
        for (int i = 0; i < n; ++i) {
            describedType[i] = short(in->sqlvar[i].sqltype & ~1);
            describedSubtype[i] = in->sqlvar[i].sqlsubtype;
            describedScale[i] = in->sqlvar[i].sqlscale;
            describedLength[i] = in->sqlvar[i].sqllen;
        }
    }

    QByteArray writeBlob(const QByteArray& bytes) {
        ISC_STATUS_ARRAY status;
        isc_blob_handle blob = 0;
        ISC_QUAD id{};
        isc_create_blob2(status, dbh(), trh(), &blob, &id, 0, nullptr);
        check(status);
        constexpr int Segment = 32 * 1024;
        for (qsizetype pos = 0; pos < bytes.size(); pos += Segment) {
            const int len = int(qMin<qsizetype>(Segment, bytes.size() - pos));
            isc_put_segment(status, &blob, ushort(len), bytes.constData() + pos);
            if (status[0] == 1 && status[1]) {
                ISC_STATUS_ARRAY ignore;
                isc_cancel_blob(ignore, &blob);
                check(status);
            }
        }
        isc_close_blob(status, &blob);
        check(status);
        return QByteArray(reinterpret_cast<const char*>(&id), sizeof id);
    }

    QByteArray readBlob(const ISC_QUAD& idIn) {
        ISC_STATUS_ARRAY status;
        isc_blob_handle blob = 0;
        ISC_QUAD id = idIn;
        isc_open_blob2(status, dbh(), trh(), &blob, &id, 0, nullptr);
        check(status);
        QByteArray result;
        char segment[32 * 1024];
        for (;;) {
            unsigned short got = 0;
            const ISC_STATUS rc = isc_get_segment(status, &blob, &got, sizeof segment, segment);
            if (rc == 0 || rc == isc_segment) {
                result.append(segment, got);
                continue;
            }
            if (rc == isc_segstr_eof) break;
            ISC_STATUS_ARRAY ignore;
            isc_close_blob(ignore, &blob);
            check(status);
            break;
        }
        isc_close_blob(status, &blob);
        check(status);
        return result;
    }

    void setValue(int i, const QVariant& value) {
        XSQLVAR& v = in->sqlvar[i];
        const short dtype = describedType[i];
        QByteArray& buf = inBuffers[i];
        v.sqlind = &inNulls[i];
        bound[i] = true;

        // Every bind sets type, subtype, scale, length, indicator and data together: a statement
        // is executed many times and the client sends each parameter as these fields describe it,
        // so a field left from the previous value garbles the message (a remote server reads a
        // stale length as the size of the next parameter's data).
        if (!value.isValid() || value.isNull()) {
            // A NULL goes in the type the server described; the data area is sized for that type
            // and zeroed, although only the indicator counts.
            v.sqltype = short(dtype | 1);
            v.sqlsubtype = describedSubtype[i];
            v.sqlscale = describedScale[i];
            v.sqllen = describedLength[i];
            inNulls[i] = -1;
            buf = QByteArray(qMax<int>(v.sqllen, 8) + 2, '\0');
            v.sqldata = buf.data();
            return;
        }
        inNulls[i] = 0;

        auto setText = [&](const QByteArray& bytes, short charset) {
            if (bytes.size() > 32765) throw DbError(QStringLiteral("Teksts ir pārāk garš (%1 baiti).").arg(bytes.size()));
            buf = QByteArray(2 + bytes.size(), '\0');
            const short len = short(bytes.size());
            std::memcpy(buf.data(), &len, 2);
            std::memcpy(buf.data() + 2, bytes.constData(), bytes.size());
            v.sqltype = SQL_VARYING | 1;
            v.sqlsubtype = charset;
            v.sqlscale = 0;
            v.sqllen = short(bytes.size());
        };
        auto setRaw = [&](short type, const void* data, int size) {
            buf = QByteArray(static_cast<const char*>(data), size);
            v.sqltype = short(type | 1);
            v.sqlscale = 0;
            v.sqlsubtype = 0;
            v.sqllen = short(size);
        };

        const int typeId = value.typeId();
        if (dtype == SQL_BLOB) {
            const bool binary = typeId == QMetaType::QByteArray;
            const QByteArray bytes = binary ? value.toByteArray() : value.toString().toUtf8();
            // A short value goes in as text and the engine makes the blob itself: creating a
            // blob through the client costs several times the insert of the whole row.
            if (bytes.size() <= 16000) {
                setText(bytes, binary ? CharsetOctets : CharsetUtf8);
                v.sqldata = buf.data();
                return;
            }
            const QByteArray id = writeBlob(bytes);
            setRaw(SQL_BLOB, id.constData(), int(id.size()));
            v.sqlsubtype = describedSubtype[i];
        } else {
            switch (typeId) {
                case QMetaType::Bool:
                case QMetaType::Int:
                case QMetaType::UInt:
                case QMetaType::Long:
                case QMetaType::LongLong:
                case QMetaType::Short:
                case QMetaType::UShort:
                case QMetaType::ULong:
                case QMetaType::ULongLong: {
                    const ISC_INT64 x = value.toLongLong();
                    setRaw(SQL_INT64, &x, sizeof x);
                    break;
                }
                case QMetaType::Double:
                case QMetaType::Float: {
                    const double x = value.toDouble();
                    setRaw(SQL_DOUBLE, &x, sizeof x);
                    break;
                }
                case QMetaType::QDate: {
                    const ISC_DATE x = toIscDate(value.toDate());
                    setRaw(SQL_TYPE_DATE, &x, sizeof x);
                    break;
                }
                case QMetaType::QDateTime: {
                    const QDateTime dt = value.toDateTime();
                    ISC_TIMESTAMP x{toIscDate(dt.date()), toIscTime(dt.time())};
                    setRaw(SQL_TIMESTAMP, &x, sizeof x);
                    break;
                }
                case QMetaType::QTime: {
                    const ISC_TIME x = toIscTime(value.toTime());
                    setRaw(SQL_TYPE_TIME, &x, sizeof x);
                    break;
                }
                case QMetaType::QByteArray:
                    setText(value.toByteArray(), CharsetOctets);
                    break;
                default:
                    setText(value.toString().toUtf8(), CharsetUtf8);
                    break;
            }
        }
        v.sqldata = buf.data();
    }

    QVariant outValue(int i) {
        const XSQLVAR& v = out->sqlvar[i];
        if (outNulls[i] < 0) return QVariant();
        const char* p = v.sqldata;
        const short charset = short(v.sqlsubtype & 0xFF);
        switch (v.sqltype & ~1) {
            case SQL_VARYING: {
                short len;
                std::memcpy(&len, p, 2);
                const QByteArray bytes(p + 2, len);
                if (charset == CharsetOctets) return bytes;
                return QString::fromUtf8(bytes);
            }
            case SQL_TEXT: {
                const QByteArray bytes(p, v.sqllen);
                if (charset == CharsetOctets) return bytes;
                // The engine pads to the byte length; keep the declared number of characters.
                QString s = QString::fromUtf8(bytes);
                const int chars = v.sqllen / bytesPerChar(charset);
                if (s.size() > chars) s.truncate(chars);
                return s;
            }
            case SQL_SHORT: {
                short x;
                std::memcpy(&x, p, sizeof x);
                if (v.sqlscale < 0) return double(x) / pow10(-v.sqlscale);
                return int(x);
            }
            case SQL_LONG: {
                ISC_LONG x;
                std::memcpy(&x, p, sizeof x);
                if (v.sqlscale < 0) return double(x) / pow10(-v.sqlscale);
                return int(x);
            }
            case SQL_INT64: {
                ISC_INT64 x;
                std::memcpy(&x, p, sizeof x);
                if (v.sqlscale < 0) return double(x) / pow10(-v.sqlscale);
                return qlonglong(x);
            }
            case SQL_FLOAT: {
                float x;
                std::memcpy(&x, p, sizeof x);
                return double(x);
            }
            case SQL_DOUBLE:
            case SQL_D_FLOAT: {
                double x;
                std::memcpy(&x, p, sizeof x);
                return x;
            }
            case SQL_TYPE_DATE: {
                ISC_DATE x;
                std::memcpy(&x, p, sizeof x);
                return fromIscDate(x);
            }
            case SQL_TYPE_TIME: {
                ISC_TIME x;
                std::memcpy(&x, p, sizeof x);
                return fromIscTime(x);
            }
            case SQL_TIMESTAMP: {
                ISC_TIMESTAMP x;
                std::memcpy(&x, p, sizeof x);
                return QDateTime(fromIscDate(x.timestamp_date), fromIscTime(x.timestamp_time));
            }
            case SQL_BLOB: {
                ISC_QUAD id;
                std::memcpy(&id, p, sizeof id);
                const QByteArray bytes = readBlob(id);
                if (v.sqlsubtype == 1) return QString::fromUtf8(bytes);
                return bytes;
            }
            case SQL_BOOLEAN: {
                return bool(*p);
            }
            default:
                throw DbError(QStringLiteral("Unsupported column type %1 of %2").arg(v.sqltype).arg(columns.value(i)));
        }
    }

    void closeCursor() {
        if (!cursorOpen) return;
        ISC_STATUS_ARRAY status;
        isc_dsql_free_statement(status, &handle, DSQL_close);
        cursorOpen = false;
    }
};

Statement::Statement(Transaction& tx, const QString& sql) : d(std::make_unique<Impl>(tx)) {
    if (!tx.isActive()) throw DbError(QStringLiteral("Transakcija nav aktīva."));
    d->prepare(sql);
}

Statement::~Statement() = default;

const QStringList& Statement::parameterNames() const { return d->positional.names; }

void Statement::bind(const QString& name, const QVariant& value) {
    const QString key = name.startsWith(u':') ? name.mid(1).toUpper() : name.toUpper();
    bool found = false;
    for (int i = 0; i < d->positional.names.size(); ++i) {
        if (d->positional.names[i] == key) {
            d->setValue(i, value);
            found = true;
        }
    }
    if (!found) throw std::invalid_argument("the statement has no parameter " + name.toStdString());
}

void Statement::bind(const Params& params) {
    for (auto it = params.cbegin(); it != params.cend(); ++it) bind(it.key(), it.value());
}

void Statement::execute() {
    for (size_t i = 0; i < d->bound.size(); ++i)
        if (!d->bound[i])
            throw std::invalid_argument("parameter " + d->positional.names[int(i)].toStdString() + " is not bound");
    d->closeCursor();
    d->pendingSingleton = false;
    d->singletonDelivered = false;
    ISC_STATUS_ARRAY status;
    XSQLDA* inDa = d->in->sqld > 0 ? d->in.get() : nullptr;
    if (d->type == isc_info_sql_stmt_exec_procedure && d->out->sqld > 0) {
        // INSERT ... RETURNING and EXECUTE PROCEDURE answer with one row at once.
        isc_dsql_execute2(status, d->trh(), &d->handle, SQL_DIALECT_V6, inDa, d->out.get());
        check(status);
        d->pendingSingleton = true;
        return;
    }
    isc_dsql_execute(status, d->trh(), &d->handle, SQL_DIALECT_V6, inDa);
    check(status);
    if (d->type == isc_info_sql_stmt_select || d->type == isc_info_sql_stmt_select_for_upd)
        d->cursorOpen = true;
}

bool Statement::next() {
    if (d->pendingSingleton) {
        d->pendingSingleton = false;
        d->singletonDelivered = true;
        return true;
    }
    if (!d->cursorOpen) return false;
    ISC_STATUS_ARRAY status;
    const ISC_STATUS rc = isc_dsql_fetch(status, &d->handle, SQL_DIALECT_V6, d->out.get());
    if (rc == 100) {
        d->closeCursor();
        return false;
    }
    check(status);
    return true;
}

int Statement::rowsAffected() const {
    ISC_STATUS_ARRAY status;
    const char items[] = {isc_info_sql_records};
    char buffer[64];
    isc_dsql_sql_info(status, &d->handle, sizeof items, items, sizeof buffer, buffer);
    check(status);
    if (buffer[0] != isc_info_sql_records) return 0;
    int total = 0;
    const char* p = buffer + 3;
    while (*p != isc_info_end) {
        const char item = *p++;
        const short len = short(isc_vax_integer(p, 2));
        p += 2;
        const int count = int(isc_vax_integer(p, len));
        p += len;
        if (item == isc_info_req_insert_count || item == isc_info_req_update_count ||
            item == isc_info_req_delete_count)
            total += count;
    }
    return total;
}

QString Statement::plan() const {
    ISC_STATUS_ARRAY status;
    const char items[] = {isc_info_sql_get_plan};
    QByteArray buffer(16 * 1024, '\0');
    isc_dsql_sql_info(status, &d->handle, sizeof items, items, short(buffer.size()), buffer.data());
    check(status);
    if (buffer[0] != isc_info_sql_get_plan) return QString();
    const short len = short(isc_vax_integer(buffer.constData() + 1, 2));
    return QString::fromUtf8(buffer.constData() + 3, len).trimmed();
}

int Statement::columnCount() const { return int(d->columns.size()); }
QStringList Statement::columnNames() const { return d->columns; }

QVariant Statement::value(int column) const { return d->outValue(column); }

QVariant Statement::value(const QString& name) const {
    for (int i = 0; i < d->columns.size(); ++i)
        if (d->columns[i].compare(name, Qt::CaseInsensitive) == 0) return d->outValue(i);
    throw std::out_of_range("no column " + name.toStdString() + " in the result");
}

ResultSet Statement::fetchAll() {
    ResultSet rs(d->columns);
    const int n = columnCount();
    while (next()) {
        ResultSet::Row row;
        row.reserve(n);
        for (int i = 0; i < n; ++i) row.append(d->outValue(i));
        rs.append(std::move(row));
    }
    return rs;
}

}  // namespace db
