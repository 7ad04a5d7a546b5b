-- ADC controller with its acquisition memory. Registers (32-bit values big-endian):
--   0..7    write: control byte of channel 0..7 (gain switch in bits 0-5, bit 6 the 1842 mV
--           reference, else 153 mV, bit 7 the zero input); the channel written last is the
--           one acquired
--   0..3    read: words still to acquire; the read of offset 0 takes the count, so the other
--           three bytes of a poll belong to the same value
--   8..11   write: start address of the acquisition (a board address)
--   12..15  write: its length in 32-bit words; the write of offset 15 starts it
-- Other offsets read 00. Every word_clocks clocks an acquisition converts two samples and
-- stores them as big-endian 16-bit words at the next address; words outside the memory are
-- dropped.
--
-- A host read of the memory during an acquisition is held (mem_wait) until the acquisition is
-- over, so that a record read after starting one is always complete, however the host's reads
-- and the conversions interleave.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;

entity kivo_adc_controller is
  generic (
    mem_base      : std_logic_vector(31 downto 0) := x"70010000";   -- a multiple of the size
    mem_addr_bits : positive := 16;
    -- At least 3. A host that toggles an input between polls of the counter needs it longer
    -- than one poll and its toggle, or the toggle lands inside a word.
    word_clocks   : positive := 64
  );
  port (
    clk         : in  std_logic;
    rst         : in  std_logic;
    reg_sel     : in  std_logic;
    mem_sel     : in  std_logic;
    addr        : in  std_logic_vector(31 downto 0);
    we          : in  std_logic;
    re          : in  std_logic;
    wdata       : in  std_logic_vector(7 downto 0);
    reg_rdata   : out std_logic_vector(7 downto 0);
    mem_rdata   : out std_logic_vector(7 downto 0);
    mem_wait    : out std_logic;
    -- To the converter and its input stage.
    adc_channel : out std_logic_vector(2 downto 0);
    adc_control : out std_logic_vector(7 downto 0);
    adc_restart : out std_logic;                    -- a new acquisition begins
    adc_convert : out std_logic;                    -- the converter samples on this clock
    adc_code    : in  std_logic_vector(13 downto 0) -- the code, on the clock after
  );
end entity;

architecture rtl of kivo_adc_controller is
  constant lane_words : positive := 2**(mem_addr_bits - 2);
  type lane_t is array (0 to lane_words - 1) of std_logic_vector(7 downto 0);
  type control_t is array (0 to 7) of std_logic_vector(7 downto 0);
  type bytes_t is array (0 to 3) of std_logic_vector(7 downto 0);
  -- The memory in four byte lanes, each one block RAM with one write port: a word stored by
  -- the acquisition waits for a clock without a host write to the memory (host writes come
  -- one per bus cycle, so it waits a clock or two at most; a host that wrote the memory on
  -- every clock for word_clocks clocks would lose a word).
  signal store_pending : std_logic := '0';
  signal store_bytes   : bytes_t := (others => (others => '0'));
  signal store_offset  : unsigned(31 downto 0) := (others => '0');  -- from mem_base
  signal host_write    : std_logic;
  signal host_index    : natural range 0 to lane_words - 1;  -- the host's word in the memory
  signal host_byte     : natural range 0 to 3;               -- and its byte
  signal read_enable   : std_logic;

  signal controls   : control_t := (others => (others => '0'));
  signal channel    : natural range 0 to 7 := 0;
  signal start_len  : bytes_t := (others => (others => '0'));   -- offsets 12..14 as written
  signal start_addr : bytes_t := (others => (others => '0'));   -- offsets 8..11
  signal running    : std_logic := '0';
  signal remaining  : unsigned(31 downto 0) := (others => '0');
  signal latched    : unsigned(31 downto 0) := (others => '0');
  signal word_addr  : unsigned(31 downto 0) := (others => '0');  -- of the next word stored
  signal timer      : natural range 0 to word_clocks - 1 := 0;
  signal first_code : std_logic_vector(13 downto 0) := (others => '0');
  signal holding    : std_logic := '0';
  signal mem_q      : bytes_t;
  signal host_lane  : natural range 0 to 3 := 0;

  function be_word(b : bytes_t) return unsigned is
    variable v : std_logic_vector(31 downto 0);
  begin
    v := b(0) & b(1) & b(2) & b(3);
    return unsigned(v);
  end function;
begin
  adc_channel <= std_logic_vector(to_unsigned(channel, 3));
  adc_control <= controls(channel);
  adc_convert <= '1' when running = '1' and (timer = word_clocks - 3 or timer = word_clocks - 2) else '0';
  mem_wait <= holding;

  process (clk)
    variable o : natural;
    variable len : unsigned(31 downto 0);
  begin
    if rising_edge(clk) then
      adc_restart <= '0';
      if rst = '1' then
        controls <= (others => (others => '0'));
        channel <= 0;
        running <= '0';
        remaining <= (others => '0');
        timer <= 0;
      else
        if running = '1' then
          if timer = word_clocks - 2 then
            first_code <= adc_code;
          end if;
          if timer = word_clocks - 1 then
            timer <= 0;
            store_bytes(0) <= "00" & first_code(13 downto 8);
            store_bytes(1) <= first_code(7 downto 0);
            store_bytes(2) <= "00" & adc_code(13 downto 8);
            store_bytes(3) <= adc_code(7 downto 0);
            store_offset <= word_addr - unsigned(mem_base);
            store_pending <= '1';
            word_addr <= word_addr + 4;
            remaining <= remaining - 1;
            if remaining = 1 then
              running <= '0';
            end if;
          else
            timer <= timer + 1;
          end if;
        end if;

        if reg_sel = '1' and we = '1' then
          o := to_integer(unsigned(addr(3 downto 0)));
          if o <= 7 then
            controls(o) <= wdata;
            channel <= o;
          elsif o <= 11 then
            start_addr(o - 8) <= wdata;
          elsif o <= 14 then
            start_len(o - 12) <= wdata;
          else
            len := be_word((start_len(0), start_len(1), start_len(2), wdata));
            word_addr <= be_word(start_addr);
            remaining <= len;
            timer <= 0;
            adc_restart <= '1';
            if len /= 0 then
              running <= '1';
            else
              running <= '0';
            end if;
          end if;
        end if;
      end if;

      if store_pending = '1' and host_write = '0' then
        store_pending <= '0';
      end if;
    end if;
  end process;

  host_write <= mem_sel and we;
  -- The memory's base is a multiple of its size, as the design's decoder has it.
  host_index <= to_integer(unsigned(addr(mem_addr_bits - 1 downto 2)));
  host_byte <= to_integer(unsigned(addr(1 downto 0)));
  -- The memory is read on every clock of a held read, so that it picks up the words the
  -- acquisition stores meanwhile.
  read_enable <= (re and mem_sel) or holding;

  lanes : for l in 0 to 3 generate
    signal lane : lane_t := (others => (others => '0'));
    signal store_index, write_index : natural range 0 to lane_words - 1;
    signal store_here, write_enable : std_logic;
    signal store_byte, write_byte   : std_logic_vector(7 downto 0);
  begin
    -- The byte of the stored word that falls in this lane: a start address need not be
    -- aligned, and bytes past the memory's end are dropped.
    process (all)
      variable j  : natural range 0 to 3;
      variable at : unsigned(31 downto 0);
    begin
      j := (l - to_integer(store_offset(1 downto 0))) mod 4;
      at := store_offset + j;
      store_byte <= store_bytes(j);
      store_index <= to_integer(at(mem_addr_bits - 1 downto 2));
      if at < 2**mem_addr_bits then
        store_here <= '1';
      else
        store_here <= '0';
      end if;
    end process;

    -- One write port: the host's write, else the acquisition's.
    process (all)
    begin
      if host_write = '1' then
        write_enable <= '1' when host_byte = l else '0';
        write_index <= host_index;
        write_byte <= wdata;
      else
        write_enable <= store_pending and store_here;
        write_index <= store_index;
        write_byte <= store_byte;
      end if;
    end process;

    process (clk)
    begin
      if rising_edge(clk) then
        if write_enable = '1' then
          lane(write_index) <= write_byte;
        end if;
        if read_enable = '1' then
          mem_q(l) <= lane(host_index);
        end if;
      end if;
    end process;
  end generate;

  process (clk)
  begin
    if rising_edge(clk) then
      if re = '1' and mem_sel = '1' then
        host_lane <= host_byte;
        holding <= running or store_pending;
      elsif running = '0' and store_pending = '0' then
        holding <= '0';
      end if;
      if re = '1' and reg_sel = '1' then
        case to_integer(unsigned(addr(3 downto 0))) is
          when 0 =>
            latched <= remaining;
            reg_rdata <= std_logic_vector(remaining(31 downto 24));
          when 1 => reg_rdata <= std_logic_vector(latched(23 downto 16));
          when 2 => reg_rdata <= std_logic_vector(latched(15 downto 8));
          when 3 => reg_rdata <= std_logic_vector(latched(7 downto 0));
          when others => reg_rdata <= x"00";
        end case;
      end if;
    end if;
  end process;
  mem_rdata <= mem_q(host_lane);
end architecture;
