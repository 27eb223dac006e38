#!/usr/bin/perl
# Reads columns A and B of every row of the first worksheet with an independent
# reader (Spreadsheet::ParseExcel for .xls, Spreadsheet::ParseXLSX for .xlsx) and
# prints {"sheets": [...], "rows": [[a, b], ...]} as ASCII JSON. ParseExcel gives
# UTF-16 units one by one; printed as escapes, surrogate pairs arrive whole.
use strict;
use warnings;
no warnings 'utf8';

sub js {
    my ($s) = @_;
    my $o = '"';
    for my $ch (split //, $s) {
        my $c = ord $ch;
        if ($c >= 0x10000) {
            $c -= 0x10000;
            $o .= sprintf('\\u%04x\\u%04x', 0xD800 + ($c >> 10), 0xDC00 + ($c & 0x3FF));
        } elsif ($c < 0x20 || $c > 0x7e || $ch eq '"' || $ch eq '\\') {
            $o .= sprintf('\\u%04x', $c);
        } else {
            $o .= $ch;
        }
    }
    return $o . '"';
}

my ($reader, $path) = @ARGV;
my $parser;
if ($reader eq 'parseexcel') {
    require Spreadsheet::ParseExcel;
    $parser = Spreadsheet::ParseExcel->new;
} else {
    require Spreadsheet::ParseXLSX;
    $parser = Spreadsheet::ParseXLSX->new;
}
my $book = $parser->parse($path) or die "cannot read: " . $parser->error() . "\n";
my @sheets = $book->worksheets();
my $sheet = $sheets[0];
my ($rmin, $rmax) = $sheet->row_range();
my @rows;
for my $r (0 .. $rmax) {
    my @cells;
    for my $c (0 .. 1) {
        my $cell = $sheet->get_cell($r, $c);
        my $v = $cell ? ($reader eq 'parseexcel' ? $cell->value() : $cell->unformatted()) : '';
        $v = '' unless defined $v;
        push @cells, js($v);
    }
    push @rows, '[' . join(',', @cells) . ']';
}
print '{"sheets":[' . join(',', map { js($_->get_name()) } @sheets) . '],"rows":['
    . join(',', @rows) . "]}\n";
