"""The rows a report returns."""


class Rows(list):
    """The rows of a report's statement: a list of tuples, one value a column, with the output names of the
    columns in ``column_names``. A value is None, int, float, str or bytes as the database holds it, or, where
    the column's declared type says so, datetime.date, datetime.datetime, datetime.time, bool or
    decimal.Decimal (money and decimal columns)."""

    def __init__(self, rows, column_names):
        super().__init__(rows)
        self.column_names = tuple(column_names)

    def as_dicts(self):
        """The rows as dicts keyed by column name: a list that keeps ``column_names``, also when empty."""
        return DictRows((dict(zip(self.column_names, row)) for row in self), self.column_names)

    def to_pandas(self):
        """The rows as a pandas.DataFrame with one column a report column, also when there are no rows. Needs
        pandas (Debian: python3-pandas), which talvane itself does not."""
        try:
            import pandas
        except ImportError:
            raise ImportError("Rows.to_pandas() needs pandas, which is not installed "
                              "(pip install pandas, or Debian's python3-pandas)") from None
        return pandas.DataFrame.from_records(list(self), columns=list(self.column_names))


class DictRows(list):
    """The rows of a report as dicts keyed by column name, with the names in ``column_names``."""

    def __init__(self, rows, column_names):
        super().__init__(rows)
        self.column_names = tuple(column_names)
