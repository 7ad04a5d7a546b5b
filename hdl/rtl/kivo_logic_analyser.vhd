-- Logic state analyser core. The lower half of its window holds the identification bytes and
-- registers, the upper half the sample memory (little-endian words in address order, repeated
-- when the memory is smaller than the half).
--
--   0..4    read: 4A, mem_adr_width | use_rlc << 5, data_width-1, trig_width-1, ce_dwidth-1
--   8       write: control, bit 0 set arms a new capture, clear stops one in progress
--           read: status, bit 0 armed, bit 6 capture finished, bit 7 triggered
--   9       read: the last control byte
--   10      read/write: ctr_ced (01 active_low, 02 register, 04 CE_Data, 08 AND_trig,
--           10 OR_trig, 20 not_RLC)
--   12..15  read: words stored by the current capture
--   16..47  read/write: trigger value and care, CE value and care, low words at 16, 20, 32,
--           36 and high words 8 above
-- Everything else in the lower half reads 00 and ignores writes.
--
-- The probes are sampled on every clock with sample_en high. `register` and `not_RLC` are kept
-- but change nothing: the core stores plain samples whatever use_rlc reports, so that a
-- capture reads the same as on the software model of the board.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

package kivo_logic_analyser_pkg is
  -- Bits of the window's offset: 2^(mem_adr_width+1) words of data_width bits, at least 128
  -- bytes, the smallest window the la commands accept.
  function la_window_bits(mem_adr_width : natural; data_width : positive) return natural;
end package;

package body kivo_logic_analyser_pkg is
  function la_window_bits(mem_adr_width : natural; data_width : positive) return natural is
    variable word_bits : natural := 0;
  begin
    while 2**word_bits < (data_width + 7) / 8 loop
      word_bits := word_bits + 1;
    end loop;
    if mem_adr_width + 1 + word_bits < 7 then
      return 7;
    end if;
    return mem_adr_width + 1 + word_bits;
  end function;
end package body;

library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;
use work.kivo_logic_analyser_pkg.all;

entity kivo_logic_analyser is
  generic (
    mem_adr_width : natural range 0 to 16 := 10;
    use_rlc       : boolean := false;
    data_width    : positive range 8 to 64 := 16;    -- 8, 16, 32 or 64
    trig_width    : positive range 1 to 64 := 40;
    ce_dwidth     : positive range 1 to 64 := 12
  );
  port (
    clk           : in  std_logic;
    rst           : in  std_logic;
    sel           : in  std_logic;
    offset        : in  std_logic_vector(la_window_bits(mem_adr_width, data_width) - 1 downto 0);
    we            : in  std_logic;
    re            : in  std_logic;
    wdata         : in  std_logic_vector(7 downto 0);
    rdata         : out std_logic_vector(7 downto 0);
    sample_en     : in  std_logic;
    probe         : in  std_logic_vector(63 downto 0);
    -- High on the clock a capture is armed: a probe source that counts from this moment
    -- restarts with it.
    capture_start : out std_logic;
    capturing     : out std_logic                     -- status bit 0, armed
  );
end entity;

architecture rtl of kivo_logic_analyser is
  constant window_bits : natural := la_window_bits(mem_adr_width, data_width);
  constant word_bytes  : positive := (data_width + 7) / 8;
  constant depth       : positive := 2**mem_adr_width;
  -- Bits of the byte within a sample word.
  function log2(n : positive) return natural is
    variable bits : natural := 0;
  begin
    while 2**bits < n loop
      bits := bits + 1;
    end loop;
    return bits;
  end function;
  constant byte_bits   : natural := log2(word_bytes);

  constant st_armed     : natural := 0;
  constant st_done      : natural := 6;
  constant st_triggered : natural := 7;

  constant ced_active_low : natural := 0;
  constant ced_ce_data    : natural := 2;
  constant ced_and_trig   : natural := 3;
  constant ced_or_trig    : natural := 4;

  -- Offsets 16..47, byte n at bits 8 * (n - 16) + 7 downto 8 * (n - 16): a flat vector, not
  -- an array, so that synthesis keeps it in flip-flops, every bit being read at once.
  subtype reg_file_t is std_logic_vector(32 * 8 - 1 downto 0);
  type sample_mem_t is array (0 to depth - 1) of std_logic_vector(data_width - 1 downto 0);

  signal regs      : reg_file_t := (others => '0');
  signal ctr_ced   : std_logic_vector(7 downto 0) := (others => '0');
  signal control   : std_logic_vector(7 downto 0) := (others => '0');
  signal armed     : std_logic := '0';
  signal done      : std_logic := '0';
  signal triggered : std_logic := '0';
  signal stored    : unsigned(31 downto 0) := (others => '0');
  signal mem       : sample_mem_t;
  signal mem_q     : std_logic_vector(data_width - 1 downto 0);
  signal mem_index : natural range 0 to depth - 1;
  signal reg_q     : std_logic_vector(7 downto 0);
  signal from_mem  : std_logic := '0';
  signal byte_sel  : natural range 0 to word_bytes - 1 := 0;
  signal arm, stop : std_logic;
  signal fires     : std_logic;   -- the trigger fires on this clock
  signal store     : std_logic;   -- this clock's probe word goes into the memory

  function bus_mask(width : positive) return std_logic_vector is
    variable m : std_logic_vector(63 downto 0) := (others => '0');
  begin
    m(width - 1 downto 0) := (others => '1');
    return m;
  end function;

  function reg(r : reg_file_t; n : natural) return std_logic_vector is
  begin
    return r(8 * (n - 16) + 7 downto 8 * (n - 16));
  end function;

  function qualifier(r : reg_file_t; low : natural) return std_logic_vector is
  begin
    return reg(r, low + 11) & reg(r, low + 10) & reg(r, low + 9) & reg(r, low + 8)
         & reg(r, low + 3) & reg(r, low + 2) & reg(r, low + 1) & reg(r, low);
  end function;

  function header_byte(n : natural) return std_logic_vector is
    variable rlc : natural := 0;
  begin
    if use_rlc then
      rlc := 32;
    end if;
    case n is
      when 0 => return x"4A";
      when 1 => return std_logic_vector(to_unsigned(mem_adr_width mod 32 + rlc, 8));
      when 2 => return std_logic_vector(to_unsigned(data_width - 1, 8));
      when 3 => return std_logic_vector(to_unsigned(trig_width - 1, 8));
      when 4 => return std_logic_vector(to_unsigned(ce_dwidth - 1, 8));
      when others => return x"00";
    end case;
  end function;
begin
  arm <= '1' when sel = '1' and we = '1' and unsigned(offset) = 8 and wdata(0) = '1' else '0';
  stop <= '1' when sel = '1' and we = '1' and unsigned(offset) = 8 and wdata(0) = '0' else '0';
  capture_start <= arm;
  capturing <= armed;

  -- Host writes of the qualifier registers.
  process (clk)
    variable o : natural;
  begin
    if rising_edge(clk) then
      if rst = '1' then
        regs <= (others => '0');
        ctr_ced <= (others => '0');
        control <= (others => '0');
      elsif sel = '1' and we = '1' then
        o := to_integer(unsigned(offset));
        if o = 8 then
          control <= wdata;
        elsif o = 10 then
          ctr_ced <= wdata;
        elsif o >= 16 and o <= 47 then
          -- A loop of fixed slices: an indexed slice would make synthesis look for a memory.
          for n in 16 to 47 loop
            if o = n then
              regs(8 * (n - 16) + 7 downto 8 * (n - 16)) <= wdata;
            end if;
          end loop;
        end if;
      end if;
    end if;
  end process;

  -- Does this clock's probe word fire the trigger, and is it stored?
  process (all)
    variable t_match : boolean;
    variable ce_ok   : boolean;   -- the CE bus qualifies, after active_low
    variable enabled : boolean;
    variable fire    : boolean;
  begin
    t_match := ((probe xor qualifier(regs, 16)) and qualifier(regs, 20) and bus_mask(trig_width))
               = x"0000000000000000";
    ce_ok := ((probe xor qualifier(regs, 32)) and qualifier(regs, 36) and bus_mask(ce_dwidth))
             = x"0000000000000000";
    if ctr_ced(ced_active_low) = '1' then
      ce_ok := not ce_ok;
    end if;
    -- Without CE_Data every clock is a sample clock; with it only the qualified ones.
    enabled := ctr_ced(ced_ce_data) = '0' or ce_ok;
    fire := t_match;
    if ctr_ced(ced_and_trig) = '1' then
      fire := fire and enabled;
    end if;
    if ctr_ced(ced_or_trig) = '1' then
      fire := fire or ce_ok;
    end if;
    fires <= '0';
    store <= '0';
    if armed = '1' and sample_en = '1' and arm = '0' and stop = '0' then
      if triggered = '0' and fire then
        fires <= '1';
      end if;
      if (triggered = '1' or fire) and enabled then
        store <= '1';
      end if;
    end if;
  end process;

  process (clk)
  begin
    if rising_edge(clk) then
      if rst = '1' then
        armed <= '0';
        done <= '0';
        triggered <= '0';
        stored <= (others => '0');
      elsif arm = '1' then
        -- A new capture; the memory keeps its old words until they are overwritten.
        armed <= '1';
        done <= '0';
        triggered <= '0';
        stored <= (others => '0');
      elsif stop = '1' then
        armed <= '0';
      else
        if fires = '1' then
          triggered <= '1';
        end if;
        if store = '1' then
          stored <= stored + 1;
          if stored = depth - 1 then
            armed <= '0';
            done <= '1';
          end if;
        end if;
      end if;
    end if;
  end process;

  -- The sample memory: one write port for the capture, one read port for the host.
  process (clk)
  begin
    if rising_edge(clk) then
      if store = '1' then
        mem(to_integer(stored(mem_adr_width - 1 downto 0))) <= probe(data_width - 1 downto 0);
      end if;
      mem_q <= mem(mem_index);
    end if;
  end process;

  -- Host reads: the byte is there on the clock after the read strobe.
  process (clk)
    variable o : natural;
  begin
    if rising_edge(clk) then
      if re = '1' and sel = '1' then
        o := to_integer(unsigned(offset));
        from_mem <= offset(window_bits - 1);
        byte_sel <= o mod word_bytes;
        if o <= 7 then
          reg_q <= header_byte(o);
        elsif o = 8 then
          reg_q <= triggered & done & "00000" & armed;
        elsif o = 9 then
          reg_q <= control;
        elsif o = 10 then
          reg_q <= ctr_ced;
        else
          reg_q <= x"00";
          for n in 12 to 15 loop
            if o = n then
              reg_q <= std_logic_vector(stored(8 * (n - 12) + 7 downto 8 * (n - 12)));
            end if;
          end loop;
          for n in 16 to 47 loop
            if o = n then
              reg_q <= reg(regs, n);
            end if;
          end loop;
        end if;
      end if;
    end if;
  end process;

  -- The memory repeats through the upper half when it is smaller.
  mem_index <= to_integer(unsigned(offset(byte_bits + mem_adr_width - 1 downto byte_bits)));
  process (all)
  begin
    rdata <= reg_q;
    if from_mem = '1' then
      for n in 0 to word_bytes - 1 loop
        if byte_sel = n then
          rdata <= mem_q(8 * n + 7 downto 8 * n);
        end if;
      end loop;
    end if;
  end process;
end architecture;
